#pragma once

// Tail probabilities the group statistics need, written out so the layer
// stays on the standard library alone.

// Regularized upper incomplete gamma Q(a, x) = Γ(a, x) / Γ(a), for a > 0 and
// x >= 0; NaN outside that range.
double RegularizedGammaQ(double a, double x);

// P(X >= x) for X chi-square distributed with `degrees` degrees of freedom.
double ChiSquareSurvival(double x, double degrees);

// P(|Z| >= |z|) for a standard normal Z.
double NormalTwoSidedP(double z);
