#pragma once

#include <QByteArray>
#include <QString>

// The administrator password is kept only as a salted PBKDF2-HMAC-SHA256
// digest, in the form "pbkdf2-sha256$<iterations>$<salt>$<digest>" (salt and
// digest in Base64), so reading the settings does not reveal it.

// Slow on purpose: a guess costs as much as a log-in, some tenths of a second.
inline constexpr int PasswordHashIterations = 100000;

// The key derivation itself (RFC 8018), over Qt's HMAC.
QByteArray Pbkdf2HmacSha256(const QByteArray &password, const QByteArray &salt, int iterations, int length);

// A stored form of the password with a fresh random salt; empty for an
// empty password (no password set).
QString HashPassword(const QString &password, int iterations = PasswordHashIterations);
// The same with a given salt, for tests and for callers that bring their own.
QString HashPasswordWithSalt(const QString &password, const QByteArray &salt, int iterations);

// Whether the value is in the stored form above (otherwise it is a password
// kept as typed by an older version).
bool IsPasswordHash(const QString &stored);

// Whether the typed text is the password: exact and case-sensitive. A stored
// value that is not a hash is compared as plain text, once, until it is
// replaced by its hash.
bool PasswordMatches(const QString &typed, const QString &stored);
