#include "engine_model.h"

#include "draftora/result_codes.h"
#include "engine_error.h"
#include "vkd_reader.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace draftora {

namespace {

// The full name under which a document is open: its canonical path.
std::string FullPath(const std::string& path)
{
    std::error_code error;
    const auto canonical = std::filesystem::canonical(path, error);
    if (error)
        throw EngineError(kFileNotFound, "cannot open the drawing " + path + ": " + error.message());
    if (!std::filesystem::is_regular_file(canonical, error))
        throw EngineError(kFileNotFound, "the drawing " + path + " is not a file");
    return canonical.string();
}

} // namespace

EngineModel::EngineModel(std::string versionText) : m_version(std::move(versionText)) {}

int EngineModel::IdAt(int index) const
{
    if (index < 1 || index > Count())
        throw EngineError(kInvalidArgument, "there is no document number " + std::to_string(index));
    return m_documents[static_cast<std::size_t>(index - 1)]->Id();
}

int EngineModel::Open(const std::string& path)
{
    const std::string fullName = FullPath(path);
    Drawing drawing;
    try {
        drawing = ReadVkdFile(fullName);
    } catch (const VkdError& error) {
        throw EngineError(kInvalidData, std::string("malformed drawing ") + error.what());
    } catch (const std::system_error& error) {
        throw EngineError(kFileNotFound, error.what());
    }
    const int id = m_nextId++;
    m_documents.push_back(std::make_unique<StandInDocument>(id, fullName, std::move(drawing)));
    return id;
}

StandInDocument& EngineModel::Document(int id)
{
    for (const auto& document : m_documents)
        if (document->Id() == id)
            return *document;
    throw EngineError(kDisconnected, "document " + std::to_string(id) + " is no longer open");
}

void EngineModel::MakeCurrent(int id, int value)
{
    Document(id);
    if (value != 0)
        m_current = id;
    else if (m_current == id)
        m_current = 0;
}

void EngineModel::Close(int id, int save)
{
    Document(id);
    if (save != 0)
        throw EngineError(kInvalidArgument, "the stand-in engine does not save drawings");
    m_documents.erase(
        std::remove_if(m_documents.begin(), m_documents.end(), [id](const auto& d) { return d->Id() == id; }),
        m_documents.end());
    if (m_current == id)
        m_current = 0;
}

} // namespace draftora
