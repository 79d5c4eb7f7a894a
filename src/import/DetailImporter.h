#pragma once

#include <QString>

class InterfaceRecord;

#include <algorithm>
#include <functional>

/// Loads the detail lines of one declaration from an interface file, without any window: each line
/// is checked on its own; good lines are inserted through clsCodigo at once, bad ones are reported
/// to the error sink and skipped. Only a file that stops being readable, a full disk, a failing disk or
/// another program's lock stop the import half-way: each would make every later line fail too.
///
/// Inserts are grouped into transactions of groupSize() inserted lines: a crash loses at most the
/// last group, and once run() returns every line it counted as imported is in the database. Lines of
/// a group the engine dropped for a line of its own (a trigger's rollback) are reported as insertion
/// failures; a group it could not keep for a reason that outlasts the line stops the import.
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

    /// Why an import stopped before the end of its file.
    enum class Stop {
        None,
        DiskFull, ///< the disk had no room for the lines
        NotSaved, ///< the database could not keep them: another program's lock, a failing disk
    };

    /// What an import did.
    struct Result
    {
        Stop stopped = Stop::None;
        qint64 firstLineLeft = 0; ///< when stopped: the file's lines from this one on were not imported
        bool opened = false;      ///< false: the file could not be opened and nothing was done
        bool readError = false;   ///< the file stopped being readable part-way; the lines before it were imported
        qint64 lines = 0;         ///< lines read, blank ones included
        qint64 imported = 0;      ///< lines inserted and kept
        qint64 rejected = 0;      ///< lines written to the error sink

        [[nodiscard]] bool errors() const { return rejected > 0 || readError || stopped != Stop::None; }
    };

    /// An import of the file at path into the declaration of the given fiscal period and sequence.
    DetailImporter(QString path, double periodo, double secuencia);

    void setErrorSink(ErrorSink sink) { m_errorSink = std::move(sink); }
    void setProgressCallback(ProgressCallback callback) { m_progress = std::move(callback); }
    /// Checks the file without writing anything to the database: every line rule, and duplicates within the
    /// file and against the declaration's lines, reported to the error sink as the import would. Then
    /// `imported` counts the lines an import would insert.
    void setCheckOnly(bool checkOnly) { m_checkOnly = checkOnly; }
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
    bool m_checkOnly = false;

    /// Receives each line whose fields and CUIT are good, with its number.
    using GoodLine = std::function<void(qint64 number, const InterfaceRecord& record)>;
    /// Reads the file into `result`: reports each line with a wrong field or CUIT, and hands each good one to
    /// `good`. `finish` runs after the last line read, before a failure to read on is reported. Leaves
    /// `result.opened` false, and does nothing else, when the file cannot be opened.
    void readFile(Result& result, const GoodLine& good, const std::function<void()>& finish);
    /// The check-only run: what run() does, with the inserts left out.
    [[nodiscard]] Result check();
    void report(Result& result, const QString& text) const;
    void reportDuplicate(Result& result, qint64 number) const;
};
