#pragma once
// Stand-ins for the programs the window starts on the desktop (a mail program, xdg-email, xdg-open):
// small scripts that write down what they were handed (arguments, environment, session, open files)
// and end with a chosen status, and a desktop without a desktop environment in temporary XDG folders
// where a stand-in is the handler of mailto: addresses, as xdg-email looks it up.
#include <QByteArray>
#include <QByteArrayList>
#include <QDir>
#include <QFile>
#include <QList>
#include <QPair>
#include <QString>
#include <QTemporaryDir>
#include <QtGlobal>

#include <optional>
#include <utility>
#include <vector>

namespace stand_in {

// What a stand-in got: its arguments (argv[1] on), its environment, its session id, its open files.
struct Received {
    QByteArrayList arguments;
    QByteArrayList environment; // NAME=value entries
    qint64 session = 0;
    QByteArrayList openFiles; // descriptor numbers
    QByteArray everything;    // arguments and environment as received, for searches
};

// A stand-in named `name` in `folder`: it writes what it got into <folder>/<name>.got and ends with
// `exitStatus`. Only absolute paths inside, so it runs whatever PATH holds.
inline QString Write(const QString& folder, const QString& name, int exitStatus = 0)
{
    const QString path = folder + '/' + name;
    const QString record = path + QStringLiteral(".got");
    const QByteArray script = "#!/bin/sh\n"
                              "out='" +
                              record.toUtf8() +
                              "'\n"
                              "/bin/rm -f \"$out\" \"$out.part\"\n"
                              "/usr/bin/printf '%s\\0' \"$@\" > \"$out.part.args\"\n"
                              "/usr/bin/env -0 > \"$out.part.env\"\n"
                              "/bin/sed 's/.*) //' /proc/$$/stat | /usr/bin/cut -d' ' -f4 > \"$out.part.sid\"\n"
                              "/bin/ls /proc/$$/fd > \"$out.part.fds\"\n"
                              "/bin/mv \"$out.part.args\" \"$out.args\"; /bin/mv \"$out.part.env\" \"$out.env\"\n"
                              "/bin/mv \"$out.part.sid\" \"$out.sid\"; /bin/mv \"$out.part.fds\" \"$out.fds\"\n"
                              "/usr/bin/touch \"$out\"\n"
                              "exit " +
                              QByteArray::number(exitStatus) + "\n";
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(script) != script.size())
        return {};
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

// True once the stand-in at `path` has run to its end.
inline bool HasRun(const QString& path)
{
    return QFile::exists(path + QStringLiteral(".got"));
}

inline QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline QByteArrayList Split(const QByteArray& records, char separator)
{
    QByteArrayList items = records.split(separator);
    if (!items.isEmpty() && items.last().isEmpty())
        items.removeLast();
    return items;
}

inline Received Read(const QString& path)
{
    const QString record = path + QStringLiteral(".got");
    Received got;
    const QByteArray arguments = ReadAll(record + QStringLiteral(".args"));
    const QByteArray environment = ReadAll(record + QStringLiteral(".env"));
    got.arguments = Split(arguments, '\0');
    got.environment = Split(environment, '\0');
    got.session = ReadAll(record + QStringLiteral(".sid")).trimmed().toLongLong();
    got.openFiles = Split(ReadAll(record + QStringLiteral(".fds")), '\n');
    got.everything = arguments + environment;
    return got;
}

// Sets environment variables for the life of the object (an empty value removes the variable) and
// puts back what was there.
class Environment {
  public:
    Environment() = default;
    Environment(const Environment&) = delete;
    Environment& operator=(const Environment&) = delete;
    ~Environment()
    {
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
            if (it->second)
                qputenv(it->first.constData(), *it->second);
            else
                qunsetenv(it->first.constData());
        }
    }
    void Set(const char* name, const QByteArray& value)
    {
        saved_.emplace_back(name, qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt);
        if (value.isEmpty())
            qunsetenv(name);
        else
            qputenv(name, value);
    }

  private:
    std::vector<std::pair<QByteArray, std::optional<QByteArray>>> saved_;
};

// A desktop without a desktop environment (xdg-email's generic mode), in folders of its own, where
// the stand-in mail program is the handler of mailto: addresses and nothing of the real desktop
// (its mail or web programs, a session bus) takes part.
class GenericDesktop {
  public:
    GenericDesktop()
    {
        for (const char* folder : {"data/applications", "config", "data-dirs", "config-dirs", "bin"})
            QDir().mkpath(root_.filePath(QString::fromLatin1(folder)));
        mailProgram = Write(root_.filePath(QStringLiteral("bin")), QStringLiteral("mail-program"));
        WriteText(QStringLiteral("data/applications/stand-in-mail.desktop"),
                  "[Desktop Entry]\nType=Application\nName=Stand-in mail\nExec=" + mailProgram.toUtf8() +
                      " %u\nMimeType=x-scheme-handler/mailto;\n");
        WriteText(QStringLiteral("config/mimeapps.list"),
                  "[Default Applications]\nx-scheme-handler/mailto=stand-in-mail.desktop\n");
        env.Set("XDG_DATA_HOME", root_.filePath(QStringLiteral("data")).toUtf8());
        env.Set("XDG_CONFIG_HOME", root_.filePath(QStringLiteral("config")).toUtf8());
        env.Set("XDG_DATA_DIRS", root_.filePath(QStringLiteral("data-dirs")).toUtf8());
        env.Set("XDG_CONFIG_DIRS", root_.filePath(QStringLiteral("config-dirs")).toUtf8());
        // No desktop environment is detected, so xdg-email takes its generic way through xdg-mime
        // and xdg-open, which only looks for a handler of the address's scheme when a display is set.
        for (const char* name : {"XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "KDE_FULL_SESSION", "KDE_SESSION_VERSION",
                                 "GNOME_DESKTOP_SESSION_ID", "MATE_DESKTOP_SESSION_ID", "LXQT_SESSION_CONFIG", "MAILER",
                                 "WAYLAND_DISPLAY"})
            env.Set(name, {});
        env.Set("DISPLAY", ":97");
        env.Set("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + root_.filePath(QStringLiteral("no-bus")).toUtf8());
        env.Set("BROWSER", "quillet-test-no-browser");
    }

    QString Bin() const { return root_.filePath(QStringLiteral("bin")); }

    QString mailProgram; // the stand-in handler of mailto:
    Environment env;

  private:
    void WriteText(const QString& relative, const QByteArray& text)
    {
        QFile file(root_.filePath(relative));
        if (file.open(QIODevice::WriteOnly))
            file.write(text);
    }
    QTemporaryDir root_;
};

// The value of each field of a mailto: address (its query), percent-decoded, in order.
inline std::vector<std::pair<QByteArray, QByteArray>> MailtoFields(const QByteArray& uri)
{
    std::vector<std::pair<QByteArray, QByteArray>> fields;
    const qsizetype query = uri.indexOf('?');
    if (!uri.startsWith("mailto:") || query < 0)
        return fields;
    for (const QByteArray& field : uri.mid(query + 1).split('&')) {
        const qsizetype equals = field.indexOf('=');
        fields.emplace_back(field.left(equals), QByteArray::fromPercentEncoding(field.mid(equals + 1)));
    }
    return fields;
}

} // namespace stand_in
