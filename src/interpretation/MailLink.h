#pragma once

// The mailto: link that hands a report to the user's mail program.
#include "core/TCLTSession.h"

#include <cstddef>
#include <string>
#include <string_view>

// Some systems and mail programs cut links beyond about 2000 characters
// without a word, and a Cyrillic letter takes six once encoded, so a report
// whose link would be longer (most full reports) goes as a PDF for the user
// to attach instead.
constexpr std::size_t MailLinkLimit = 2000;

// Every byte but the unreserved characters (letters, digits, "-._~") as
// "%XX", so a "&" or "+" of the text stays text.
std::string PercentEncoded(std::string_view text);

// "mailto:?subject=...&body=...", both encoded.
std::string MailLinkText(std::string_view subject, std::string_view body);

// Whether the link as sent, encoded, is within the limit.
inline bool MailLinkFits(std::string_view link) { return link.size() <= MailLinkLimit; }

// The short name of the test and the person: every encoded letter of the
// subject counts against the limit.
std::string MailSubject(const TCLTSession &session);

// The body that names the PDF to attach when the report did not fit.
std::string ReportInFileBody(std::string_view pdfFileName);
