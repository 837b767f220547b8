#include "pipeline/PipelineRun.h"

#include "files/Cleanup.h"
#include "files/DiskProc.h"
#include "files/FileProc.h"
#include "files/InterruptCleanup.h"
#include "files/IoErrorText.h"

#include <algorithm>
#include <cerrno>

PipelineRun::PipelineRun(const QString& base, WorkingFolders* sharedFolders, RunControl control, KdfLevel level)
    : ownFolders_(base), folders_(sharedFolders != nullptr ? *sharedFolders : ownFolders_), control_(control),
      engine_(level, control.stop), packer_(control.stop)
{
}

PipelineRun::~PipelineRun()
{
    Finish();
}

void PipelineRun::RunSlow(const std::function<void()>& step)
{
    if (control_.slowSteps != nullptr)
        control_.slowSteps->Run(step);
    else
        step();
}

PipelineRun::StepResult PipelineRun::RunSlowCall(const std::function<int32_t()>& call)
{
    StepResult result{0, 0};
    RunSlow([&] {
        result.code = call();
        result.cause = errno;
    });
    return result;
}

bool PipelineRun::StopRequested() const
{
    return ::StopRequested(control_.stop);
}

PipelineRun::StepOutcome PipelineRun::RunEngineStep(const EngineStep& step, const QString& input,
                                                    const CipherCall& call)
{
    return RunStep(step, EngineKind::Cipher, input,
                   [&](const char* in, const char* out) { return call(engine_, in, out); });
}

PipelineRun::StepOutcome PipelineRun::RunEngineStep(const EngineStep& step, const QString& input,
                                                    const PackerCall& call)
{
    return RunStep(step, EngineKind::Packer, input,
                   [&](const char* in, const char* out) { return call(packer_, in, out, 0); });
}

PipelineRun::StepOutcome PipelineRun::RunStep(const EngineStep& step, EngineKind engine, const QString& input,
                                              const std::function<int32_t(const char* in, const char* out)>& call)
{
    static_assert(cipher_result::kInputUnreadable == packer_result::kInputUnreadable &&
                      cipher_result::kOutputUnwritable == packer_result::kOutputUnwritable,
                  "both engines say the same of their files");
    StepOutcome outcome;
    outcome.output = NewTempFile(QString::fromLatin1(step.outputExtension), step.outputTreatment);
    if (outcome.output.isEmpty())
        return Ended(outcome, StepEnding::NoTempName, Failure(step.texts.noTempName));
    const bool packer = engine == EngineKind::Packer;
    if (!(packer ? AllocatePackerBuffers() : AllocateEngineBuffers()))
        return Ended(outcome, StepEnding::NotReady, Failure(step.texts.notReady));
    const StepResult result =
        RunSlowCall([&] { return call(input.toUtf8().constData(), outcome.output.toUtf8().constData()); });
    packer ? ReleasePackerBuffers() : ReleaseEngineBuffers();
    Discard(input);
    outcome.code = result.code;
    if (StopRequested())
        return Ended(outcome, StepEnding::Stopped);
    if (result.code == cipher_result::kInputUnreadable || result.code == cipher_result::kOutputUnwritable)
        return Ended(outcome, StepEnding::WorkingFolderFailed,
                     Failure(WorkingFolderFailedText).At(outcome.output).Because(FileProc::IoErrorText(result.cause)));
    if (result.code != cipher_result::kOk)
        return Ended(outcome, StepEnding::Failed, Failure(step.texts.failed));
    return outcome;
}

PipelineRun::StepOutcome PipelineRun::Ended(StepOutcome outcome, StepEnding ending, Outcome report)
{
    outcome.ending = ending;
    outcome.report = std::move(report);
    return outcome;
}

Outcome PipelineRun::MakeWorkingFolder()
{
    folders_.MakeWorkingFolder();
    folderMade_ = true;
    const QString folder = folders_.WorkingFolder();
    // Without a folder, the base says why; a fall-back base may be there and still refuse files.
    int why = DiskProc::WhyNoFilesIn(folder.isEmpty() ? WorkingFolderBase() : folder);
    // A base that takes files but gave no folder of our own had no free name left (or is not private).
    if (folder.isEmpty() && why == 0)
        why = EEXIST;
    if (why == 0)
        return {};
    return Failure(NoWorkingFolderText)
        .At(WorkingFolderBase(), Failure::Place::Path)
        .Because(FileProc::IoErrorText(why));
}

QString PipelineRun::WorkingFolderBase() const
{
    // No default base could be had: the private temporary folder is the one that failed last.
    return folders_.base().isEmpty() ? DiskProc::PrivateTemporaryFolderPath() : folders_.base();
}

QString PipelineRun::WorkingFolder() const
{
    return folderMade_ ? folders_.WorkingFolder() : QString();
}

QString PipelineRun::NewTempFile(const QString& extension, TempTreatment treatment)
{
    if (!folderMade_ || folders_.WorkingFolder().isEmpty())
        return {};
    // Why no name could be had is not told: every caller's program text says it for the user.
    QString errorText;
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
    const Kept kept = *it;
    kept_.erase(it);
    bool gone = false;
    RunSlow([&] { gone = Remove(kept); });
    InterruptCleanup::Forget(kept.path);
    return gone;
}

bool PipelineRun::Remove(const Kept& kept)
{
    return kept.treatment == TempTreatment::Shred ? Cleanup::ShredAndDelete(kept.path)
                                                  : Cleanup::DeleteFileForced(kept.path);
}

bool PipelineRun::AllocatePackerBuffers()
{
    if (!packerBuffers_)
        packerBuffers_ = packer_.alb() != 0;
    return packerBuffers_;
}

void PipelineRun::ReleasePackerBuffers()
{
    if (packerBuffers_)
        packer_.dalb();
    packerBuffers_ = false;
}

bool PipelineRun::AllocateEngineBuffers()
{
    if (!engineBuffers_)
        engineBuffers_ = engine_.allocate_buffers() != 0;
    return engineBuffers_;
}

void PipelineRun::ReleaseEngineBuffers()
{
    if (engineBuffers_)
        engine_.deallocate_buffers();
    engineBuffers_ = false;
}

void PipelineRun::Finish()
{
    ReleasePackerBuffers();
    ReleaseEngineBuffers();
    std::vector<Kept> left;
    left.swap(kept_);
    const bool removeFolder = folderMade_;
    folderMade_ = false;
    if (left.empty() && !removeFolder)
        return;
    RunSlow([&] {
        for (auto it = left.rbegin(); it != left.rend(); ++it)
            Remove(*it);
    });
    for (const Kept& kept : left)
        InterruptCleanup::Forget(kept.path);
    if (removeFolder)
        folders_.RemoveWorkingFolder();
}
