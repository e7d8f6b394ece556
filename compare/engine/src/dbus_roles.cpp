#include "dbus_roles.h"

#include "draftora/protocol.h"
#include "draftora/result_codes.h"
#include "twinview/automation_error.h"

#include <QDBusArgument>
#include <QDBusMetaType>
#include <QDBusObjectPath>

namespace {

using Caller = std::shared_ptr<const DbusCaller>;

CAutomationError BadReply(const char* method)
{
    return CAutomationError("D-Bus", draftora::kUnspecified, std::string("Unexpected reply to ") + method + ".",
                            draftora::SystemText(draftora::kUnspecified));
}

template <class T> T ReplyValue(const QList<QVariant>& values, const char* method)
{
    if (values.size() != 1 || values[0].metaType() != QMetaType::fromType<T>())
        throw BadReply(method);
    return values[0].value<T>();
}

QString ReplyPath(const QList<QVariant>& values, const char* method)
{
    return ReplyValue<QDBusObjectPath>(values, method).path();
}

BoxCorners ReplyBox(const QList<QVariant>& values, const char* method)
{
    if (values.size() != 1 || values[0].metaType() != QMetaType::fromType<QDBusArgument>() ||
        values[0].value<QDBusArgument>().currentSignature() != "ad")
        throw BadReply(method);
    const QList<double> numbers = qdbus_cast<QList<double>>(values[0]);
    if (numbers.size() != 6)
        throw BadReply(method);
    BoxCorners box{};
    for (int i = 0; i < 6; ++i)
        box[static_cast<std::size_t>(i)] = numbers[i];
    return box;
}

// One object of the engine on the bus: its path and the interface that a
// role calls it through.
class DbusObject {
public:
    DbusObject(Caller caller, QString path, const char* interface)
        : m_caller(std::move(caller)), m_path(std::move(path)), m_interface(interface)
    {
    }

protected:
    QList<QVariant> Call(const char* method, const QList<QVariant>& arguments = {},
                         DbusCaller::Duration duration = DbusCaller::Duration::Normal) const
    {
        return m_caller->Call(m_path, m_interface, method, arguments, duration);
    }
    // A role object for the path that a method of this object returned.
    template <class Role> std::shared_ptr<Role> Child(const QList<QVariant>& reply, const char* method) const
    {
        return std::make_shared<Role>(m_caller, ReplyPath(reply, method));
    }

private:
    Caller m_caller;
    QString m_path;
    const char* m_interface;
};

class DbusView : public IEngineView, private DbusObject {
public:
    DbusView(Caller caller, QString path) : DbusObject(std::move(caller), std::move(path), draftora::kViewInterface) {}
    void FillFrame() override { Call("FillFrame"); }
    void Refresh() override { Call("Refresh"); }
    void ZoomToWindow() override { Call("ZoomToWindow"); }
    void Scale(double factor) override { Call("Scale", {factor}); }
    void Restore() override { Call("Restore"); }
};

class DbusViewPoints : public IEngineViewPoints, private DbusObject {
public:
    DbusViewPoints(Caller caller, QString path)
        : DbusObject(std::move(caller), std::move(path), draftora::kViewPointsInterface)
    {
    }
    void PutPoints(int selector, const BoxCorners& corners) override
    {
        const QList<double> numbers(corners.begin(), corners.end());
        Call("PutPoints", {selector, QVariant::fromValue(numbers)});
    }
};

class DbusBackground : public IEngineBackground, private DbusObject {
public:
    DbusBackground(Caller caller, QString path)
        : DbusObject(std::move(caller), std::move(path), draftora::kBackgroundInterface)
    {
    }
    std::uint32_t Get() override { return ReplyValue<uint>(Call("Get"), "Get"); }
    void Put(std::uint32_t colour) override { Call("Put", {uint(colour)}); }
};

class DbusDocument : public IEngineDocument, private DbusObject {
public:
    DbusDocument(Caller caller, QString path)
        : DbusObject(std::move(caller), std::move(path), draftora::kDocumentInterface)
    {
    }
    std::string FullName() override { return ReplyValue<QString>(Call("FullName"), "FullName").toStdString(); }
    void MakeCurrent(int value) override { Call("MakeCurrent", {value}); }
    std::shared_ptr<IEngineView> ActiveView() override { return Child<DbusView>(Call("ActiveView"), "ActiveView"); }
    BoxCorners Extents() override { return ReplyBox(Call("Extents"), "Extents"); }
    std::shared_ptr<IEngineBackground> BackgroundHolder() override
    {
        return Child<DbusBackground>(Call("BackgroundHolder"), "BackgroundHolder");
    }
    std::shared_ptr<IEngineViewPoints> ViewPointsHolder() override
    {
        return Child<DbusViewPoints>(Call("ViewPointsHolder"), "ViewPointsHolder");
    }
    void RunMacro(const std::string& macroPath) override
    {
        Call("RunMacro", {QString::fromStdString(macroPath)}, DbusCaller::Duration::Long);
    }
    void Close(int save, const std::string& name) override { Call("Close", {save, QString::fromStdString(name)}); }
};

class DbusDocuments : public IEngineDocuments, private DbusObject {
public:
    DbusDocuments(Caller caller, QString path)
        : DbusObject(std::move(caller), std::move(path), draftora::kDocumentsInterface)
    {
    }
    int Count() override { return ReplyValue<int>(Call("Count"), "Count"); }
    std::shared_ptr<IEngineDocument> Item(int index) override
    {
        return Child<DbusDocument>(Call("Item", {index}), "Item");
    }
    std::shared_ptr<IEngineDocument> Open(const std::string& path) override
    {
        return Child<DbusDocument>(Call("Open", {QString::fromStdString(path)}, DbusCaller::Duration::Long), "Open");
    }
};

class DbusApplication : public IEngineApplication, private DbusObject {
public:
    explicit DbusApplication(Caller caller)
        : DbusObject(std::move(caller), draftora::kApplicationPath, draftora::kApplicationInterface)
    {
    }
    std::string Version() override { return ReplyValue<QString>(Call("Version"), "Version").toStdString(); }
    void Quit() override { Call("Quit"); }
    std::uint64_t MainWindow() override { return ReplyValue<qulonglong>(Call("MainWindow"), "MainWindow"); }
    bool IsVisible() override { return ReplyValue<bool>(Call("IsVisible"), "IsVisible"); }
    bool IsReady() override { return ReplyValue<bool>(Call("IsReady"), "IsReady"); }
    void SetBatchMode(int value) override { Call("SetBatchMode", {value}); }
    void Initialize() override { Call("Initialize"); }
    std::shared_ptr<IEngineDocuments> Documents() override
    {
        return Child<DbusDocuments>(Call("Documents"), "Documents");
    }
};

} // namespace

std::shared_ptr<IEngineApplication> MakeDbusApplication(std::shared_ptr<const DbusCaller> caller)
{
    return std::make_shared<DbusApplication>(std::move(caller));
}
