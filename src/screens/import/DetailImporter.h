#pragma once

#include <QString>

#include <algorithm>
#include <functional>

/// Loads the detail lines of one declaration from an interface file, without any window: each line
/// is checked on its own; good lines are inserted through clsCodigo at once, bad ones are reported
/// to the error sink and skipped. Nothing stops the import half-way but a failure to read the file.
///
/// Inserts are grouped into transactions of groupSize() inserted lines: a crash loses at most the
/// last group, and once run() returns every line it counted as imported is in the database. Lines of
/// a group the engine could not keep are reported as insertion failures.
///
/// A line is a duplicate when Existe_Detalle_DDJJ counts a line with its pair. Where the database keeps
/// the pairs unique itself (clsCodigo::detailKeyIsUnique), that count runs only after an insert it
/// refused, so its cost does not depend on how many lines the declaration already holds; elsewhere it
/// runs before each insert.
class DetailImporter
{
public:
    /// Receives one line of the error file, without its line end.
    using ErrorSink = std::function<void(const QString& line)>;
    /// Receives the bytes read so far and the file's size, every few hundred lines and at the end.
    using ProgressCallback = std::function<void(qint64 bytesRead, qint64 totalBytes)>;

    /// What an import did.
    struct Result
    {
        bool opened = false;    ///< false: the file could not be opened and nothing was done
        bool readError = false; ///< the file stopped being readable part-way; the lines before it were imported
        qint64 lines = 0;       ///< lines read, blank ones included
        qint64 imported = 0;    ///< lines inserted and kept
        qint64 rejected = 0;    ///< lines written to the error sink

        [[nodiscard]] bool errors() const { return rejected > 0 || readError; }
    };

    /// An import of the file at path into the declaration of the given fiscal period and sequence.
    DetailImporter(QString path, double periodo, double secuencia);

    void setErrorSink(ErrorSink sink) { m_errorSink = std::move(sink); }
    void setProgressCallback(ProgressCallback callback) { m_progress = std::move(callback); }
    /// Inserted lines per transaction (at least 1).
    void setGroupSize(int lines) { m_groupSize = std::max(lines, 1); }
    [[nodiscard]] int groupSize() const { return m_groupSize; }

    /// Runs the import. Call once.
    [[nodiscard]] Result run();

    /// Each commit costs a write-ahead checkpoint and a flush to disk, which smaller groups pay more
    /// often; at the speeds measured here a group is a fraction of a second of work.
    static constexpr int defaultGroupSize = 20000;
    /// How many lines go by between two progress reports.
    static constexpr int progressInterval = 256;

private:
    QString m_path;
    double m_periodo;
    double m_secuencia;
    ErrorSink m_errorSink;
    ProgressCallback m_progress;
    int m_groupSize = defaultGroupSize;
};
