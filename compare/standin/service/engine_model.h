// The stand-in engine's application: its version, its settings and the
// documents open in it. Plain C++; the D-Bus service exposes it.
#pragma once

#include "standin_document.h"

#include <memory>
#include <string>
#include <vector>

namespace draftora {

class EngineModel {
public:
    explicit EngineModel(std::string versionText);

    const std::string& Version() const { return m_version; }
    void SetBatchMode(int value) { m_batchMode = value != 0; }
    void Initialize() { m_initialized = true; }
    bool BatchMode() const { return m_batchMode; }
    bool Initialized() const { return m_initialized; }

    int Count() const { return static_cast<int>(m_documents.size()); }
    // The id of the document at a 1-based index. Throws EngineError.
    int IdAt(int index) const;
    // Opens a .VKD drawing as a new document and returns its id. Throws
    // EngineError naming the file and, for a malformed one, the line.
    int Open(const std::string& path);
    // Throws EngineError when no open document has the id.
    StandInDocument& Document(int id);
    void MakeCurrent(int id, int value);
    int CurrentId() const { return m_current; }
    // Only closing without saving is offered: the stand-in never writes
    // drawings.
    void Close(int id, int save);

private:
    std::string m_version;
    bool m_batchMode = false;
    bool m_initialized = false;
    std::vector<std::unique_ptr<StandInDocument>> m_documents;
    int m_nextId = 1;
    int m_current = 0;
};

} // namespace draftora
