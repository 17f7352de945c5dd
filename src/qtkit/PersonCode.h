#pragma once

#include "core/TCLTSession.h"
#include "interpretation/ResearchCsv.h"

#include <QByteArray>
#include <QString>

class QSettings;

// Person codes for name-free exports: a keyed hash (HMAC-SHA256) of who the
// session is of (PersonIdentityKey), under a secret of this installation.
// The same person gets the same code in every export from here; without the
// secret the code cannot be traced back to a name by trying names.

// The secret kept in the settings ("Options/PersonCodeKey"); made from the
// system's random source at first use and stored there.
QByteArray PersonCodeKeyFrom(QSettings &settings);

// "P-" and 16 hexadecimal digits.
std::string PersonCode(const QByteArray &key, const TCLTSession &session);

// For the research table: every row's code under the key.
CsvPersonCode PersonCoder(const QByteArray &key);
