#pragma once
// One run of a pipeline (encrypt or decrypt) and everything it must give back when it stops, on
// whatever path: the temporary files that held plain text are overwritten and deleted, the buffers
// of the cipher engine and the packer are released, and the run's working folder is removed.
//
// Usage: create one PipelineRun at the start of the run; let it make the working folder and the
// temporary files; allocate the buffers through it. Returning from the pipeline (a refusal, an engine
// failure, success) destroys it, and the destructor does the clean-up. Nothing is left behind.
//
//     PipelineRun run(workingFolderBase);
//     if (const Outcome made = run.MakeWorkingFolder(); !made.ok()) ...  // tell made.failure()
//     const QString plt = run.NewTempFile("plt", TempTreatment::Shred);
//     if (!run.AllocatePackerBuffers()) ...   // alb; dalb follows by ReleasePackerBuffers or at the end
//     run.Discard(plt);                       // as soon as the next stage has consumed it
//
// With a RunControl, the slow steps (RunSlow, and the shredding of Discard and Finish) go to the
// front end's runner, and the engine and the packer check its stop flag while the run lasts; after
// a slow step the pipeline asks StopRequested and, when set, gives up through Finish like any
// other stop, so a run stopped by the user leaves exactly as little behind as a failed one.

#include "engines/CipherEngine.h"
#include "engines/Packer.h"
#include "files/WorkingFolders.h"
#include "pipeline/Failure.h"
#include "pipeline/RunControl.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

// What becomes of a temporary file when it is discarded.
enum class TempTreatment {
    Shred,     // held plain text (or compressed plain text): overwritten, then deleted
    DeleteOnly // held nothing secret (a copy of ciphertext): deleted
};

class PipelineRun {
  public:
    // base: the folder the working folder is made in; "" means the default of WorkingFolders.
    // sharedFolders: when given, the run makes its working folder through this object instead (the
    // window's own, so that quitting can still remove the folder of a run that did not finish).
    // control: where the slow steps run and the flag that stops the run (see RunControl.h).
    // level: the strength of the key derivation the run's engine encrypts with.
    explicit PipelineRun(const QString& base = {}, WorkingFolders* sharedFolders = nullptr, RunControl control = {},
                         KdfLevel level = KdfLevel::Moderate);
    ~PipelineRun();

    PipelineRun(const PipelineRun&) = delete;
    PipelineRun& operator=(const PipelineRun&) = delete;

    // Makes the run's working folder: a new numbered one, or the base as the fall-back. Fails when
    // no folder is there that takes the temporary files, naming the base and the cause.
    Outcome MakeWorkingFolder();
    // The folder the working folders are made in.
    QString WorkingFolderBase() const;
    // The working folder, ending in "/"; "" before MakeWorkingFolder.
    QString WorkingFolder() const;

    // Creates a new empty file <working folder>/temp<NN>.<extension> (mode 0600) and keeps it for
    // clean-up with the given treatment. "" when no name could be made.
    QString NewTempFile(const QString& extension, TempTreatment treatment);
    // Keeps an existing file for clean-up, e.g. an output the engine wrote into the working folder.
    void Track(const QString& path, TempTreatment treatment);
    // Gives up a kept file now, with its treatment. True when it is gone.
    bool Discard(const QString& path);

    // The run's own engine and packer: each run has its key, level and stop flag to itself.
    CipherEngine& Engine() { return engine_; }

    // alb of the packer; true when the buffers are ready. Released by ReleasePackerBuffers or at the end.
    bool AllocatePackerBuffers();
    void ReleasePackerBuffers();
    // allocate_buffers of the cipher engine; true when ready. Released by ReleaseEngineBuffers or at the end.
    bool AllocateEngineBuffers();
    void ReleaseEngineBuffers();

    // Carries out a slow step through the front end's runner (in place without one).
    void RunSlow(const std::function<void()>& step);
    // The result of an engine or packer call, and errno as the call left it.
    struct StepResult {
        int32_t code;
        int cause;
    };
    // An engine or packer call as a slow step; errno is taken on the thread that ran it, where it belongs.
    StepResult RunSlowCall(const std::function<int32_t()>& call);
    // True once the front end asked the run to stop; the pipeline then ends through Finish.
    bool StopRequested() const;

    // One step of the engines on files, the same for compressing, encrypting, decrypting and
    // decompressing: the output goes into a new temporary file of the run, the engine's buffers are
    // held for the call only, the input is discarded once the call has consumed it, and a stop
    // asked for meanwhile wins over the call's result.
    // The program texts that tell each way the step can fail.
    struct StepTexts {
        int noTempName;
        int notReady;
        int failed;
    };
    // What a step makes, apart from its input: the output's file and the texts of its failures.
    struct EngineStep {
        const char* outputExtension;
        TempTreatment outputTreatment;
        StepTexts texts;
    };
    // The calls of the cipher engine and of the packer, as the requests carry them.
    using CipherCall = std::function<int32_t(CipherEngine& engine, const char* in, const char* out)>;
    using PackerCall = std::function<int32_t(Packer& packer, const char* in, const char* out, int32_t flag)>;
    enum class StepEnding {
        Done,
        NoTempName,          // no temporary file could be made for the output
        NotReady,            // the engine's buffers could not be had
        Stopped,             // the front end asked the run to stop
        WorkingFolderFailed, // the call could not read its input or write its output: see cause
        Failed               // the engine refused or failed: see code
    };
    // What became of a step; a failure is told by its program text and, for a read or write in the
    // working folder, the folder and the cause.
    struct StepOutcome {
        StepEnding ending = StepEnding::Done;
        QString output;   // the temporary file written ("" without one)
        int32_t code = 0; // the engine's result
        Outcome report;   // ok unless failed()
        bool failed() const { return ending != StepEnding::Done && ending != StepEnding::Stopped; }
    };
    // Runs call on the run's engine or packer (as a slow step) from input into a new temporary file.
    StepOutcome RunEngineStep(const EngineStep& step, const QString& input, const CipherCall& call);
    StepOutcome RunEngineStep(const EngineStep& step, const QString& input, const PackerCall& call);
    // The program text of a read or write in the working folder that failed, the same for both
    // pipelines: a full disk or a lost folder, not a fault of the message.
    static constexpr int WorkingFolderFailedText = 422;
    // The program text of a working folder that could not be made, followed by the base and the cause.
    static constexpr int NoWorkingFolderText = 470;

    // Does the whole clean-up now (the destructor does it otherwise); safe to call more than once.
    void Finish();

  private:
    struct Kept {
        QString path;
        TempTreatment treatment;
    };
    static bool Remove(const Kept& kept);
    static StepOutcome Ended(StepOutcome outcome, StepEnding ending, Outcome report = {});
    enum class EngineKind { Packer, Cipher };
    StepOutcome RunStep(const EngineStep& step, EngineKind engine, const QString& input,
                        const std::function<int32_t(const char* in, const char* out)>& call);

    WorkingFolders ownFolders_;
    WorkingFolders& folders_;
    bool folderMade_ = false;
    std::vector<Kept> kept_;
    bool packerBuffers_ = false;
    bool engineBuffers_ = false;
    RunControl control_;
    CipherEngine engine_;
    Packer packer_;
};
