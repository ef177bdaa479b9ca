#pragma once

#include <QByteArrayView>
#include <QSaveFile>
#include <QString>

#include <memory>

// A file that is replaced whole or not at all. The bytes go to a temporary file beside the
// target, and commit() renames it over the target only when every write, the final flush of
// the write buffer and the sync to disk have all succeeded.
//
// QSaveFile alone is not enough: its commit() reports success although the flush of its last
// buffered bytes failed (a full disk), and then renames a short or empty file over the old one.
// After any failure the target stays exactly as it was and no temporary file is left.
class CheckedSaveFile {
public:
    explicit CheckedSaveFile(const QString &path);
    ~CheckedSaveFile();
    CheckedSaveFile(const CheckedSaveFile &) = delete;
    CheckedSaveFile &operator=(const CheckedSaveFile &) = delete;

    bool open();
    // False once any write has failed; the later ones are not attempted.
    bool write(QByteArrayView bytes);
    // For code that writes a QIODevice itself: it must check each of its writes, and commit()
    // still checks the flush and the sync. Valid from a successful open() until the first
    // failure, commit() or cancel().
    QIODevice &device();
    // Flush, sync, rename. False when anything failed since open(); the target is then untouched.
    bool commit();
    // Drops the temporary file; the target is untouched.
    void cancel();

    QString fileName() const { return m_path; }
    // Why the last open(), write() or commit() failed, as the system put it.
    QString errorString() const { return m_error; }

    // Writes `bytes` as the whole new content of `path`. On failure *error (if given) says why.
    static bool saveWhole(const QString &path, QByteArrayView bytes, QString *error = nullptr);

private:
    bool fail(const QString &reason = QString());
    bool syncToDisk();

    QString m_path;
    std::unique_ptr<QSaveFile> m_file;
    QString m_error;
    bool m_failed = false;
};
