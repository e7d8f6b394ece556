// The body of an automation error reply: D-Bus errors carry only a name and
// one text, so the four parts of an automation error travel as JSON in it.
#pragma once

#include <QString>

#include <cstdint>
#include <optional>

namespace draftora {

struct ErrorPayload {
    QString source;
    std::uint32_t code = 0;
    QString description;
    QString systemText;
};

QString EncodeErrorPayload(const ErrorPayload& payload);

// Empty when the text is not a well-formed payload.
std::optional<ErrorPayload> DecodeErrorPayload(const QString& text);

} // namespace draftora
