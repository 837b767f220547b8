#pragma once
// Keeps a hard link to each temporary file that held plain text, taken while an engine stage works
// on it, so a test can read what the file holds after the run. Deleting a file only removes a
// name; what it held lives on under the link. A file that was overwritten before it was deleted
// shows other bytes through the link.
//
// Usage: wrap the pipeline's engine operations with Watch(), run the pipeline, then expect
// Kept() > 0 and Unshredded() empty.

#include "pipeline/DecryptPipeline.h"
#include "pipeline/EncryptPipeline.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>

#include <unistd.h>

#include <vector>

class PlainTextLinks {
  public:
    // folder: where the links are made; it must be on the same file system as the working folder.
    explicit PlainTextLinks(const QString& folder) : folder_(folder) {}

    // The compressor's input is the plain package, its output the compressed plain package.
    EncryptEngine Watch(EncryptEngine engine)
    {
        auto compress = engine.compressFile;
        engine.compressFile = [this, compress](const char* in, const char* out, int32_t flag) {
            Keep(in);
            const int32_t result = compress(in, out, flag);
            Keep(out);
            return result;
        };
        return engine;
    }

    // The engine's output is the compressed plain package, the decompressor's the plain package.
    DecryptEngine Watch(DecryptEngine engine)
    {
        auto decrypt = engine.decryptFile;
        engine.decryptFile = [this, decrypt](const char* in, const char* out) {
            const int32_t result = decrypt(in, out);
            Keep(out);
            return result;
        };
        auto decompress = engine.decompressFile;
        engine.decompressFile = [this, decompress](const char* in, const char* out, int32_t flag) {
            const int32_t result = decompress(in, out, flag);
            Keep(out);
            return result;
        };
        return engine;
    }

    // How many temporary files with contents were linked.
    int Kept() const { return static_cast<int>(kept_.size()); }

    // The temporaries whose contents can still be read through their links (deleted, not
    // overwritten), and any that could not be linked. Each entry names the temporary file.
    QStringList Unshredded() const
    {
        QStringList found = notLinked_;
        for (const Link& link : kept_) {
            QFile file(link.link);
            const QByteArray now = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
            if (now == link.held || now.size() != link.held.size())
                found << link.temporary + " (now " + QString::number(now.size()) + " bytes, held " +
                             QString::number(link.held.size()) + ")";
        }
        return found;
    }

  private:
    struct Link {
        QString temporary;
        QString link;
        QByteArray held;
    };

    void Keep(const char* path)
    {
        const QString temporary = QString::fromUtf8(path);
        QFile file(temporary);
        const QByteArray held = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        if (held.isEmpty())
            return;
        const QString link = QDir(folder_).filePath(QStringLiteral("link%1").arg(kept_.size()));
        if (::link(path, QFile::encodeName(link).constData()) == 0)
            kept_.push_back({temporary, link, held});
        else
            notLinked_ << temporary + " (could not be linked)";
    }

    QString folder_;
    std::vector<Link> kept_;
    QStringList notLinked_;
};
