#pragma once

#include "core/TCLTOutcome.h"
#include "core/TCLTSession.h"

#include <QJsonObject>

// Sessions and knowledge-base entries as JSON objects whose keys are the
// record's field names, texts in UTF-8 with their line breaks kept.
QJsonObject SessionToJson(const TCLTSession &session);
QJsonObject OutcomeToJson(const TCLTOutcome &entry);

// The reverse for a session: absent keys keep the values of a new session.
// Throws std::runtime_error naming the first key of the wrong shape.
void SessionFromJson(const QJsonObject &json, TCLTSession &session);
