#pragma once

// A table's columns declared, and a row's values fetched, in one line each:
// `Columns<QString, int>("script", "limit")` in a _data function, and in the test
// `const auto [script, limit] = Fetch<QString, int>("script", "limit");`, as QTest::addColumn and
// QFETCH would one column at a time. And a row run by a user without privileges, and text as
// UTF-16 for the rows of program files.

#include <QProcess>
#include <QStringEncoder>
#include <QTest>

#include <filesystem>
#include <tuple>

#include <unistd.h>

namespace mosaiq::test {

template <typename... T, typename... Name> void Columns(Name... names) {
    (QTest::addColumn<T>(names), ...);
}

template <typename... T, typename... Name> std::tuple<T...> Fetch(Name... names) {
    return {*static_cast<T*>(QTest::qData(names, qMetaTypeId<T>()))...};
}

// Where this process is the superuser, who may write anywhere, runs the current row again in a
// child process as nobody, fails the row unless the child passes it, and returns true: the caller
// returns at once. Elsewhere returns false, and the caller goes on.
inline bool RanAsNobody() {
    if (::geteuid() != 0) return false;
    const QString row = QString(QTest::currentTestFunction()) + ':' + QTest::currentDataTag();
    const QStringList args{"--reuid=nobody", "--regid=nogroup", "--clear-groups",
                           QString::fromStdString(std::filesystem::read_symlink("/proc/self/exe")),
                           row};
    QTest::qVerify(QProcess::execute("setpriv", args) == 0, "setpriv", qPrintable(row), __FILE__,
                   __LINE__);
    return true;
}

// `text` as UTF-16 behind its byte order mark, code units as they are (lone surrogates too).
inline QByteArray Utf16(QStringView text, bool bigEndian) {
    QStringEncoder encode(bigEndian ? QStringConverter::Utf16BE : QStringConverter::Utf16LE);
    return (bigEndian ? "\xFE\xFF" : "\xFF\xFE") + QByteArray(encode(text));
}

} // namespace mosaiq::test
