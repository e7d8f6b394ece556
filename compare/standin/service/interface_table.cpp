#include "interface_table.h"

#include "draftora/protocol.h"

namespace draftora {

namespace {

const InterfaceSpec kApplication{kApplicationInterface,
                                 {{"Version", "", "s"},
                                  {"Quit", "", ""},
                                  {"MainWindow", "", "t"},
                                  {"IsVisible", "", "b"},
                                  {"IsReady", "", "b"},
                                  {"SetBatchMode", "i", ""},
                                  {"Initialize", "", ""},
                                  {"Documents", "", "o"}}};

const InterfaceSpec kDocuments{kDocumentsInterface,
                               {{"Count", "", "i"}, {"Item", "i", "o"}, {"Open", "s", "o"}}};

const InterfaceSpec kDocument{kDocumentInterface,
                              {{"FullName", "", "s"},
                               {"MakeCurrent", "i", ""},
                               {"ActiveView", "", "o"},
                               {"Extents", "", "ad"},
                               {"BackgroundHolder", "", "o"},
                               {"ViewPointsHolder", "", "o"},
                               {"RunMacro", "s", ""},
                               {"Close", "is", ""}}};

const InterfaceSpec kView{kViewInterface,
                          {{"FillFrame", "", ""},
                           {"Refresh", "", ""},
                           {"ZoomToWindow", "", ""},
                           {"Scale", "d", ""},
                           {"Restore", "", ""}}};

const InterfaceSpec kViewPoints{kViewPointsInterface, {{"PutPoints", "iad", ""}}};

const InterfaceSpec kBackground{kBackgroundInterface, {{"Get", "", "u"}, {"Put", "u", ""}}};

// One <arg> per complete type of a signature made of basic types and "ad".
QString Args(const char* signature, const char* direction)
{
    QString xml;
    for (const char* p = signature; *p; ++p) {
        const QString type = *p == 'a' ? QString("a") + *++p : QString(*p);
        xml += QString("<arg type=\"%1\" direction=\"%2\"/>").arg(type, direction);
    }
    return xml;
}

} // namespace

const InterfaceSpec* InterfaceOf(ObjectKind kind)
{
    switch (kind) {
    case ObjectKind::Application: return &kApplication;
    case ObjectKind::Documents: return &kDocuments;
    case ObjectKind::Document: return &kDocument;
    case ObjectKind::View: return &kView;
    case ObjectKind::ViewPoints: return &kViewPoints;
    case ObjectKind::Background: return &kBackground;
    case ObjectKind::None: break;
    }
    return nullptr;
}

const MethodSpec* FindMethod(const InterfaceSpec& spec, const QString& member)
{
    for (const MethodSpec& method : spec.methods)
        if (member == method.name)
            return &method;
    return nullptr;
}

QString IntrospectionXml(const InterfaceSpec& spec)
{
    QString xml = QString("<interface name=\"%1\">").arg(spec.name);
    for (const MethodSpec& method : spec.methods)
        xml += QString("<method name=\"%1\">").arg(method.name) + Args(method.in, "in") +
               Args(method.out, "out") + "</method>";
    return xml + "</interface>";
}

} // namespace draftora
