#pragma once

#include "TCLTOutcome.h"

#include <string>

// Appends the entries of a knowledge-base file. A missing file or a foreign
// signature leaves the base unchanged (false); a damaged file throws
// StreamError after keeping the entries read before the damage.
bool LoadKnowledgeBase(const std::string &path, TCLTKnowledgeBase &base);
