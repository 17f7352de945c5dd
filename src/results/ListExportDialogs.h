#pragma once

#include "core/ArchiveList.h"
#include "core/TCLTSession.h"

#include <vector>

class QWidget;
class StationContext;

// "Экспорт списка...": asks whether the table goes without personal data and
// where it goes, then writes it (see ListExport). True when the file was
// written; false without sessions, when the user cancels or on a failure
// already told to the user.
bool ExportListThroughDialogs(QWidget *parent, const ArchiveList &list, const std::vector<std::size_t> &positions,
                              const StationContext &context);
