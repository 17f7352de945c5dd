#include "interpretation/MailLink.h"

#include "testing/TestKinds.h"

std::string PercentEncoded(std::string_view text)
{
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string encoded;
    encoded.reserve(text.size() * 3);
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        const bool unreserved = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z')
            || (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' || byte == '_' || byte == '~';
        if (unreserved) {
            encoded += c;
        } else {
            encoded += '%';
            encoded += hex[byte >> 4];
            encoded += hex[byte & 0x0F];
        }
    }
    return encoded;
}

std::string MailLinkText(std::string_view subject, std::string_view body)
{
    return "mailto:?subject=" + PercentEncoded(subject) + "&body=" + PercentEncoded(body);
}

std::string MailSubject(const TCLTSession &session)
{
    return "Результаты: " + TestKindListName(session.TestKind) + ", " + session.FullName();
}

std::string ReportInFileBody(std::string_view pdfFileName)
{
    return "Отчет о тестировании слишком велик для текста письма.\r\nОн сохранен в файле " + std::string(pdfFileName)
        + " - приложите этот файл к письму.\r\n";
}
