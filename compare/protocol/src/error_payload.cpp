#include "draftora/error_payload.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace draftora {

QString EncodeErrorPayload(const ErrorPayload& payload)
{
    QJsonObject object;
    object.insert("source", payload.source);
    object.insert("code", static_cast<qint64>(payload.code));
    object.insert("description", payload.description);
    object.insert("system", payload.systemText);
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

std::optional<ErrorPayload> DecodeErrorPayload(const QString& text)
{
    const QJsonDocument document = QJsonDocument::fromJson(text.toUtf8());
    if (!document.isObject())
        return std::nullopt;
    const QJsonObject object = document.object();
    const qint64 code = object.value("code").toInteger(-1);
    if (!object.value("source").isString() || code < 0 || code > 0xFFFFFFFFll)
        return std::nullopt;
    ErrorPayload payload;
    payload.source = object.value("source").toString();
    payload.code = static_cast<std::uint32_t>(code);
    payload.description = object.value("description").toString();
    payload.systemText = object.value("system").toString();
    return payload;
}

} // namespace draftora
