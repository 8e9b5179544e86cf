#pragma once
// AtomicFile: a file written whole in place of a name, or not at all. Every file the programs
// write (audits, reports, workbooks, diagrams, the batch tool's CSV) goes through it, so they
// all follow one rule:
//
//   The data goes into a new file beside the name (".<name>.XXXXXX", with the permissions of
//   the regular file it replaces, or the umask's for a new one), which is flushed, checked,
//   synced and then renamed onto the name. The name itself is replaced: a symbolic link there
//   becomes the new file and what it pointed to is never written, so a link placed in an
//   output folder cannot send a write elsewhere. A name that is something else (a folder, a
//   FIFO, a device) is refused. On any failure the name keeps what it had and the new file is
//   removed.
//
// QSaveFile would follow a link to its target, so it is not used.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <optional>

class AtomicFile {
public:
    explicit AtomicFile(const QString& path = QString());
    // A new file that was not committed is removed.
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    void setPath(const QString& path) { path_ = path; }
    QString path() const { return path_; }

    // Whether the name may be replaced: nothing is there, or a regular file or a symbolic link.
    static bool replaceable(const QString& path);

    // Makes the new file beside the name, open for writing. False (and error()) when the name
    // is not replaceable ("it is not a regular file") or the folder takes no new file.
    bool open();
    // The new file, to write into after open().
    QFile& file() { return file_; }
    // The new file's name, for a writer that writes it by name (after file() is closed).
    QString temporaryName() const;
    // Flushes, checks and syncs the new file (when still open), closes it and renames it onto
    // the name. False (and error()) when a step fails; the new file is then removed and the name
    // keeps what it had.
    bool commit();
    // Removes the new file; the name keeps what it had.
    void cancel();
    // The system's reason for the first failure, in its words ("File too large").
    QString error() const { return error_; }

    // Writes data in place of path by the rule above; returns why it could not.
    static std::optional<QString> write(const QString& path, const QByteArray& data);

private:
    bool fail(const QString& reason);

    QString path_;
    QByteArray temporary_; // the new file's name, encoded; empty when there is none
    QFile file_;
    QString error_;
};
