// Names under which the Draftora stand-in engine offers its objects on the
// D-Bus session bus. Twinview (the client) and the engine (the server) both
// use these, so the wire contract lives in one place.
#pragma once

namespace draftora {

// Well-known bus name: Twinview attaches to whoever owns it.
inline constexpr const char* kServiceName = "com.norwend.Draftora";

inline constexpr const char* kApplicationPath = "/Application";
inline constexpr const char* kDocumentsPath = "/Documents";
// A document lives at /Documents/<id>; its helpers are children of it.
inline constexpr const char* kViewLeaf = "View";
inline constexpr const char* kViewPointsLeaf = "ViewPoints";
inline constexpr const char* kBackgroundLeaf = "Background";

inline constexpr const char* kApplicationInterface = "com.norwend.Draftora.Application";
inline constexpr const char* kDocumentsInterface = "com.norwend.Draftora.Documents";
inline constexpr const char* kDocumentInterface = "com.norwend.Draftora.Document";
inline constexpr const char* kViewInterface = "com.norwend.Draftora.View";
inline constexpr const char* kViewPointsInterface = "com.norwend.Draftora.ViewPoints";
inline constexpr const char* kBackgroundInterface = "com.norwend.Draftora.Background";

// Error replies of this name carry a JSON payload (see error_payload.h).
inline constexpr const char* kAutomationErrorName = "com.norwend.Draftora.Error.Automation";

} // namespace draftora
