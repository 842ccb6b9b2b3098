#pragma once

#include "editor/EditorSession.h"
#include "editor/SaveExecutor.h"

namespace quendral {

// old API, goes when the tool has moved
class BatchSave
{
public:
    explicit BatchSave(FileSystem& fileSystem) : m_executor(fileSystem) {}

    void add(EditorSession& session, EditorSession::SaveScope scope = EditorSession::SaveScope::ChangedSettings)
    {
        m_executor.add(session.messages(), [&](MessagePresenter& messages) { return session.saveJob(scope, messages); });
    }

    std::vector<bool> run() { return m_executor.run(); }

private:
    SaveExecutor m_executor;
};

} // namespace quendral
