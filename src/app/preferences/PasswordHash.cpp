#include "app/preferences/PasswordHash.h"

#include <QMessageAuthenticationCode>
#include <QRandomGenerator>
#include <QStringList>

namespace {
const QString prefix = QStringLiteral("pbkdf2-sha256");
constexpr int saltLength = 16;
constexpr int digestLength = 32;
// Far above any count this program writes; a damaged value must not hang the start.
constexpr int maxIterations = 10000000;

// Compares every byte whatever the first difference, so the time taken tells nothing.
bool sameBytes(const QByteArray &a, const QByteArray &b)
{
    if (a.size() != b.size())
        return false;
    unsigned char difference = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        difference |= static_cast<unsigned char>(a[i] ^ b[i]);
    return difference == 0;
}
} // namespace

QByteArray Pbkdf2HmacSha256(const QByteArray &password, const QByteArray &salt, int iterations, int length)
{
    QByteArray derived;
    QMessageAuthenticationCode mac(QCryptographicHash::Sha256, password);
    for (quint32 block = 1; derived.size() < length; ++block) {
        QByteArray counter(4, '\0');
        counter[0] = static_cast<char>((block >> 24) & 0xFF);
        counter[1] = static_cast<char>((block >> 16) & 0xFF);
        counter[2] = static_cast<char>((block >> 8) & 0xFF);
        counter[3] = static_cast<char>(block & 0xFF);
        mac.reset();
        mac.addData(salt);
        mac.addData(counter);
        QByteArray u = mac.result();
        QByteArray t = u;
        for (int i = 1; i < iterations; ++i) {
            mac.reset();
            mac.addData(u);
            u = mac.result();
            for (qsizetype k = 0; k < t.size(); ++k)
                t[k] = static_cast<char>(t[k] ^ u[k]);
        }
        derived += t;
    }
    return derived.left(length);
}

QString HashPasswordWithSalt(const QString &password, const QByteArray &salt, int iterations)
{
    if (password.isEmpty())
        return {};
    const QByteArray digest = Pbkdf2HmacSha256(password.toUtf8(), salt, iterations, digestLength);
    return QStringList{prefix, QString::number(iterations), QString::fromLatin1(salt.toBase64()),
                       QString::fromLatin1(digest.toBase64())}
        .join(QLatin1Char('$'));
}

QString HashPassword(const QString &password, int iterations)
{
    QByteArray salt(saltLength, '\0');
    for (char &byte : salt)
        byte = static_cast<char>(QRandomGenerator::system()->bounded(256));
    return HashPasswordWithSalt(password, salt, iterations);
}

bool IsPasswordHash(const QString &stored) { return stored.startsWith(prefix + QLatin1Char('$')); }

bool PasswordMatches(const QString &typed, const QString &stored)
{
    if (!IsPasswordHash(stored))
        return typed == stored;
    const QStringList parts = stored.split(QLatin1Char('$'));
    if (parts.size() != 4)
        return false;
    bool ok = false;
    const int iterations = parts[1].toInt(&ok);
    if (!ok || iterations < 1 || iterations > maxIterations)
        return false;
    const QByteArray salt = QByteArray::fromBase64(parts[2].toLatin1());
    const QByteArray digest = QByteArray::fromBase64(parts[3].toLatin1());
    if (digest.isEmpty() || digest.size() > 64)
        return false;
    return sameBytes(Pbkdf2HmacSha256(typed.toUtf8(), salt, iterations, static_cast<int>(digest.size())), digest);
}
