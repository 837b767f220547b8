#include "pipeline/PipelineRun.h"

#include "engines/CipherEngine.h"
#include "engines/Packer.h"
#include "files/Cleanup.h"
#include "files/FileProc.h"
#include "files/InterruptCleanup.h"

#include <algorithm>

PipelineRun::PipelineRun(const QString& base, WorkingFolders* sharedFolders)
    : ownFolders_(base), folders_(sharedFolders != nullptr ? *sharedFolders : ownFolders_)
{
}

PipelineRun::~PipelineRun()
{
    Finish();
}

bool PipelineRun::MakeWorkingFolder()
{
    folders_.MakeWorkingFolder();
    folderMade_ = true;
    return FileProc::FolderExists(folders_.WorkingFolder());
}

QString PipelineRun::WorkingFolder() const
{
    return folderMade_ ? folders_.WorkingFolder() : QString();
}

QString PipelineRun::NewTempFile(const QString& extension, TempTreatment treatment, QString& errorText)
{
    errorText.clear();
    if (!folderMade_ || folders_.WorkingFolder().isEmpty()) {
        errorText = QStringLiteral("No working folder.");
        return {};
    }
    const QString path =
        FileProc::UniqueTempFileName(folders_.WorkingFolder(), QStringLiteral("temp"), extension, errorText);
    if (!path.isEmpty())
        Track(path, treatment);
    return path;
}

void PipelineRun::Track(const QString& path, TempTreatment treatment)
{
    if (path.isEmpty())
        return;
    kept_.push_back({path, treatment});
    // The folder is watched already; the file too, for a run that works in the base itself.
    InterruptCleanup::Watch(path);
}

bool PipelineRun::Discard(const QString& path)
{
    const auto it = std::find_if(kept_.begin(), kept_.end(), [&](const Kept& k) { return k.path == path; });
    if (it == kept_.end())
        return !FileProc::FileExists(path);
    const TempTreatment treatment = it->treatment;
    kept_.erase(it);
    const bool gone =
        treatment == TempTreatment::Shred ? Cleanup::ShredAndDelete(path) : Cleanup::DeleteFileForced(path);
    InterruptCleanup::Forget(path);
    return gone;
}

bool PipelineRun::AllocatePackerBuffers()
{
    if (!packerBuffers_)
        packerBuffers_ = alb() != 0;
    return packerBuffers_;
}

void PipelineRun::ReleasePackerBuffers()
{
    if (packerBuffers_)
        dalb();
    packerBuffers_ = false;
}

bool PipelineRun::AllocateEngineBuffers()
{
    if (!engineBuffers_)
        engineBuffers_ = allocate_buffers() != 0;
    return engineBuffers_;
}

void PipelineRun::ReleaseEngineBuffers()
{
    if (engineBuffers_)
        deallocate_buffers();
    engineBuffers_ = false;
}

void PipelineRun::Finish()
{
    ReleasePackerBuffers();
    ReleaseEngineBuffers();
    while (!kept_.empty())
        Discard(kept_.back().path);
    if (folderMade_)
        folders_.RemoveWorkingFolder();
    folderMade_ = false;
}
