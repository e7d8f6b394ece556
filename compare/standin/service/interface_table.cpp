#include "interface_table.h"

#include "draftora/protocol.h"

namespace draftora {

namespace {

const InterfaceEntry kApplication{kApplicationInterface,
                                  {{"Version", "", "s"},
                                   {"Quit", "", ""},
                                   {"MainWindow", "", "t"},
                                   {"IsVisible", "", "b"},
                                   {"IsReady", "", "b"},
                                   {"SetBatchMode", "i", ""},
                                   {"Initialize", "", ""},
                                   {"Documents", "", "o"}}};

const InterfaceEntry kDocuments{kDocumentsInterface, {{"Count", "", "i"}, {"Item", "i", "o"}, {"Open", "s", "o"}}};

const InterfaceEntry kDocument{kDocumentInterface,
                               {{"FullName", "", "s"},
                                {"MakeCurrent", "i", ""},
                                {"ActiveView", "", "o"},
                                {"Extents", "", "ad"},
                                {"BackgroundHolder", "", "o"},
                                {"ViewPointsHolder", "", "o"},
                                {"RunMacro", "s", ""},
                                {"Close", "is", ""}}};

const InterfaceEntry kView{
    kViewInterface,
    {{"FillFrame", "", ""}, {"Refresh", "", ""}, {"ZoomToWindow", "", ""}, {"Scale", "d", ""}, {"Restore", "", ""}}};

const InterfaceEntry kViewPoints{kViewPointsInterface, {{"PutPoints", "iad", ""}}};

const InterfaceEntry kBackground{kBackgroundInterface, {{"Get", "", "u"}, {"Put", "u", ""}}};

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

const InterfaceEntry* InterfaceOf(ObjectKind kind)
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

const MethodEntry* FindMethod(const InterfaceEntry& entry, const QString& member)
{
    for (const MethodEntry& method : entry.methods)
        if (member == method.name)
            return &method;
    return nullptr;
}

QString IntrospectionXml(const InterfaceEntry& entry)
{
    QString xml = QString("<interface name=\"%1\">").arg(entry.name);
    for (const MethodEntry& method : entry.methods)
        xml += QString("<method name=\"%1\">").arg(method.name) + Args(method.in, "in") + Args(method.out, "out") +
            "</method>";
    return xml + "</interface>";
}

} // namespace draftora
