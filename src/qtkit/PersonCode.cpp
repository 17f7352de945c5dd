#include "qtkit/PersonCode.h"

#include "statistics/PersonIdentity.h"

#include <QMessageAuthenticationCode>
#include <QRandomGenerator>
#include <QSettings>

namespace {

const QString KeyName = QStringLiteral("Options/PersonCodeKey");
constexpr int KeyBytes = 32;

} // namespace

QByteArray PersonCodeKeyFrom(QSettings &settings)
{
    QByteArray key = QByteArray::fromHex(settings.value(KeyName).toString().toLatin1());
    if (key.size() == KeyBytes)
        return key;
    key.resize(KeyBytes);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32 *>(key.data()), KeyBytes / 4);
    settings.setValue(KeyName, QString::fromLatin1(key.toHex()));
    settings.sync();
    return key;
}

std::string PersonCode(const QByteArray &key, const TCLTSession &session)
{
    const QByteArray mac = QMessageAuthenticationCode::hash(QByteArray::fromStdString(PersonIdentityKey(session)), key,
                                                            QCryptographicHash::Sha256);
    return "P-" + mac.left(8).toHex().toUpper().toStdString();
}

CsvPersonCode PersonCoder(const QByteArray &key)
{
    return [key](const TCLTSession &session) { return PersonCode(key, session); };
}
