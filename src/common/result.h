// What an operation that can fail hands back: its value, or a message a user can read. Lower
// layers return these and windows show them; nothing below a window opens a message box.
//
// At the outer edge the message names the file and the reason ("Cannot read “show.txt”: No
// such file or directory."); inner steps may return just the reason ("it is not a zip package"),
// which their caller frames.
#pragma once

#include <QDir>
#include <QString>

#include <optional>
#include <utility>

namespace tapewright {

// The failing side of any Result: return Failure{message};
struct Failure
{
    QString message;
};

template <typename T = void> class [[nodiscard]] Result
{
public:
    Result(T value) : m_value(std::move(value)) {}
    Result(Failure failure) : m_error(std::move(failure.message)) {}

    bool ok() const { return m_value.has_value(); }
    explicit operator bool() const { return ok(); }
    // Only for a result that is ok.
    const T &value() const & { return *m_value; }
    T &value() & { return *m_value; }
    T &&value() && { return std::move(*m_value); }
    const T &operator*() const & { return *m_value; }
    T &&operator*() && { return std::move(*m_value); }
    const T *operator->() const { return &*m_value; }
    // Empty for a result that is ok.
    const QString &error() const { return m_error; }

private:
    std::optional<T> m_value;
    QString m_error;
};

template <> class [[nodiscard]] Result<void>
{
public:
    Result() = default;
    Result(Failure failure) : m_ok(false), m_error(std::move(failure.message)) {}

    bool ok() const { return m_ok; }
    explicit operator bool() const { return m_ok; }
    const QString &error() const { return m_error; }

private:
    bool m_ok = true;
    QString m_error;
};

// How every message names a file or folder: “/path/to/show.txt”.
inline QString QuotedPath(const QString &path)
{
    return u'\u201C' + QDir::toNativeSeparators(path) + u'\u201D';
}

} // namespace tapewright
