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
    return CAutomationError("D-Bus", draftora::kUnspecified,
                            std::string("Unexpected reply to ") + method + ".",
                            draftora::SystemText(draftora::kUnspecified));
}

template <class T>
T ReplyValue(const QList<QVariant>& values, const char* method)
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

class DbusView : public IEngineView {
public:
    DbusView(Caller caller, QString path) : m_caller(std::move(caller)), m_path(std::move(path)) {}
    void FillFrame() override { Call("FillFrame"); }
    void Refresh() override { Call("Refresh"); }
    void ZoomToWindow() override { Call("ZoomToWindow"); }
    void Scale(double factor) override { Call("Scale", {factor}); }
    void Restore() override { Call("Restore"); }

private:
    void Call(const char* method, const QList<QVariant>& arguments = {})
    {
        m_caller->Call(m_path, draftora::kViewInterface, method, arguments);
    }
    Caller m_caller;
    QString m_path;
};

class DbusViewPoints : public IEngineViewPoints {
public:
    DbusViewPoints(Caller caller, QString path) : m_caller(std::move(caller)), m_path(std::move(path)) {}
    void PutPoints(int selector, const BoxCorners& corners) override
    {
        const QList<double> numbers(corners.begin(), corners.end());
        m_caller->Call(m_path, draftora::kViewPointsInterface, "PutPoints",
                       {selector, QVariant::fromValue(numbers)});
    }

private:
    Caller m_caller;
    QString m_path;
};

class DbusBackground : public IEngineBackground {
public:
    DbusBackground(Caller caller, QString path) : m_caller(std::move(caller)), m_path(std::move(path)) {}
    std::uint32_t Get() override
    {
        return ReplyValue<uint>(m_caller->Call(m_path, draftora::kBackgroundInterface, "Get"), "Get");
    }
    void Put(std::uint32_t colour) override
    {
        m_caller->Call(m_path, draftora::kBackgroundInterface, "Put", {uint(colour)});
    }

private:
    Caller m_caller;
    QString m_path;
};

class DbusDocument : public IEngineDocument {
public:
    DbusDocument(Caller caller, QString path) : m_caller(std::move(caller)), m_path(std::move(path)) {}
    std::string FullName() override
    {
        return ReplyValue<QString>(Call("FullName"), "FullName").toStdString();
    }
    void MakeCurrent(int value) override { Call("MakeCurrent", {value}); }
    std::shared_ptr<IEngineView> ActiveView() override
    {
        return std::make_shared<DbusView>(m_caller, ReplyPath(Call("ActiveView"), "ActiveView"));
    }
    BoxCorners Extents() override { return ReplyBox(Call("Extents"), "Extents"); }
    std::shared_ptr<IEngineBackground> BackgroundHolder() override
    {
        return std::make_shared<DbusBackground>(
            m_caller, ReplyPath(Call("BackgroundHolder"), "BackgroundHolder"));
    }
    std::shared_ptr<IEngineViewPoints> ViewPointsHolder() override
    {
        return std::make_shared<DbusViewPoints>(
            m_caller, ReplyPath(Call("ViewPointsHolder"), "ViewPointsHolder"));
    }
    void RunMacro(const std::string& macroPath) override
    {
        Call("RunMacro", {QString::fromStdString(macroPath)}, DbusCaller::Duration::Long);
    }
    void Close(int save, const std::string& name) override
    {
        Call("Close", {save, QString::fromStdString(name)});
    }

private:
    QList<QVariant> Call(const char* method, const QList<QVariant>& arguments = {},
                         DbusCaller::Duration duration = DbusCaller::Duration::Normal)
    {
        return m_caller->Call(m_path, draftora::kDocumentInterface, method, arguments, duration);
    }
    Caller m_caller;
    QString m_path;
};

class DbusDocuments : public IEngineDocuments {
public:
    DbusDocuments(Caller caller, QString path) : m_caller(std::move(caller)), m_path(std::move(path)) {}
    int Count() override { return ReplyValue<int>(Call("Count"), "Count"); }
    std::shared_ptr<IEngineDocument> Item(int index) override
    {
        return Document(Call("Item", {index}), "Item");
    }
    std::shared_ptr<IEngineDocument> Open(const std::string& path) override
    {
        return Document(Call("Open", {QString::fromStdString(path)}, DbusCaller::Duration::Long),
                        "Open");
    }

private:
    std::shared_ptr<IEngineDocument> Document(const QList<QVariant>& reply, const char* method)
    {
        return std::make_shared<DbusDocument>(m_caller, ReplyPath(reply, method));
    }
    QList<QVariant> Call(const char* method, const QList<QVariant>& arguments = {},
                         DbusCaller::Duration duration = DbusCaller::Duration::Normal)
    {
        return m_caller->Call(m_path, draftora::kDocumentsInterface, method, arguments, duration);
    }
    Caller m_caller;
    QString m_path;
};

class DbusApplication : public IEngineApplication {
public:
    explicit DbusApplication(Caller caller) : m_caller(std::move(caller)) {}
    std::string Version() override
    {
        return ReplyValue<QString>(Call("Version"), "Version").toStdString();
    }
    void Quit() override { Call("Quit"); }
    std::uint64_t MainWindow() override
    {
        return ReplyValue<qulonglong>(Call("MainWindow"), "MainWindow");
    }
    bool IsVisible() override { return ReplyValue<bool>(Call("IsVisible"), "IsVisible"); }
    bool IsReady() override { return ReplyValue<bool>(Call("IsReady"), "IsReady"); }
    void SetBatchMode(int value) override { Call("SetBatchMode", {value}); }
    void Initialize() override { Call("Initialize"); }
    std::shared_ptr<IEngineDocuments> Documents() override
    {
        return std::make_shared<DbusDocuments>(m_caller,
                                               ReplyPath(Call("Documents"), "Documents"));
    }

private:
    QList<QVariant> Call(const char* method, const QList<QVariant>& arguments = {})
    {
        return m_caller->Call(draftora::kApplicationPath, draftora::kApplicationInterface, method,
                              arguments);
    }
    Caller m_caller;
};

} // namespace

std::shared_ptr<IEngineApplication> MakeDbusApplication(std::shared_ptr<const DbusCaller> caller)
{
    return std::make_shared<DbusApplication>(std::move(caller));
}
