#pragma once
// Keeps each temporary file that held plain text open, from while an engine stage works on it, so a
// test can read what the file holds after the run. Deleting a file only removes a name; what it
// held lives on for the open descriptor. A file that was overwritten before it was deleted shows
// other bytes through it. (A hard link would not do: the clean-up rightly leaves the content of a
// file with a second name alone.)
//
// Usage: wrap the pipeline's engine operations with Watch(), run the pipeline, then expect
// Kept() > 0 and Unshredded() empty.

#include "pipeline/DecryptPipeline.h"
#include "pipeline/EncryptPipeline.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class PlainTextLinks {
  public:
    // folder: unused, kept for the callers that name one.
    explicit PlainTextLinks(const QString& folder) { Q_UNUSED(folder); }

    // The compressor's input is the plain package, its output the compressed plain package.
    EncryptEngine Watch(EncryptEngine engine)
    {
        auto compress = engine.compressFile;
        engine.compressFile = [this, compress](Packer& packer, const char* in, const char* out, int32_t flag) {
            Keep(in);
            const int32_t result = compress(packer, in, out, flag);
            Keep(out);
            return result;
        };
        return engine;
    }

    // The engine's output is the compressed plain package, the decompressor's the plain package.
    DecryptEngine Watch(DecryptEngine engine)
    {
        auto decrypt = engine.decryptFile;
        engine.decryptFile = [this, decrypt](CipherEngine& cipher, const char* in, const char* out) {
            const int32_t result = decrypt(cipher, in, out);
            Keep(out);
            return result;
        };
        auto decompress = engine.decompressFile;
        engine.decompressFile = [this, decompress](Packer& packer, const char* in, const char* out, int32_t flag) {
            const int32_t result = decompress(packer, in, out, flag);
            Keep(out);
            return result;
        };
        return engine;
    }

    // How many temporary files with contents are held open.
    int Kept() const { return static_cast<int>(kept_.size()); }

    // The temporaries whose contents can still be read through their descriptors (deleted, not
    // overwritten), and any that could not be opened. Each entry names the temporary file.
    QStringList Unshredded() const
    {
        QStringList found;
        for (const Link& link : kept_) {
            QFile& file = *link.open;
            const QByteArray now = file.seek(0) ? file.readAll() : QByteArray();
            if (now == link.held || now.size() != link.held.size())
                found << link.temporary + " (now " + QString::number(now.size()) + " bytes, held " +
                             QString::number(link.held.size()) + ")";
        }
        return found;
    }

  private:
    struct Link {
        QString temporary;
        std::shared_ptr<QFile> open;
        QByteArray held;
    };

    void Keep(const char* path)
    {
        const QString temporary = QString::fromUtf8(path);
        auto file = std::make_shared<QFile>(temporary);
        if (!file->open(QIODevice::ReadOnly | QIODevice::Unbuffered))
            return; // the stage made no file
        const QByteArray held = file->readAll();
        if (!held.isEmpty())
            kept_.push_back({temporary, file, held});
    }

    std::vector<Link> kept_;
};
