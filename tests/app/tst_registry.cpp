// The registry lookups: how keys and values are matched, the 1024-byte
// buffer, the value types; over the registry file, its two formats and
// missing or damaged files. On Windows each row's file goes into the registry
// itself, as the registry editor would import it, and the lookups read it
// there through advapi32.

#include "KestrelFixture.h"
#include "app/registry.h"
#include "app/registryHive.h"
#include "store/textFile.h"

#include <QDir>
#include <QStringEncoder>
#include <QTest>

#ifdef _WIN32
#include <windows.h>
#endif

using globals::GetRegistryText;
using globals::kHKeyLocalMachine;

namespace {
const QByteArray kVersion5 = "Windows Registry Editor Version 5.00\r\n\r\n";
const QByteArray kPath = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\kestrel.exe";
const QByteArray kSection = "[HKEY_LOCAL_MACHINE\\" + kPath + "]\r\n";
const QString kPassed = QStringLiteral("as passed");

// A version 5 file whose Kestrel key holds "PATH"=data.
QByteArray path(const QByteArray& data) {
    return kVersion5 + kSection + "\"PATH\"=" + data + "\r\n";
}

#ifdef _WIN32
// On Windows the lookups read the registry itself: the values of a row's
// file go there, as the registry editor imports them, in place of the App
// Paths keys.
void importIntoRegistry(const QByteArray& file) {
    const QByteArray appPaths = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths";
    for (const char* program : {"\\Quillbox.exe", "\\kestrel.exe"})
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, (appPaths + program).constData());
    const std::optional<app::RegistryHive> hive = app::RegistryHive::parse(file);
    if (!hive)
        return; // a file the registry editor refuses changes nothing
    hive->forEachValue(
        [](const QString& keyPath, const QString& name, const app::RegistryValue& value) {
            HKEY key = nullptr;
            QVERIFY(RegCreateKeyExA(HKEY_LOCAL_MACHINE, keyPath.toLatin1().constData(), 0, nullptr,
                                    0, KEY_SET_VALUE, nullptr, &key, nullptr) == ERROR_SUCCESS);
            // Strings as the registry keeps them, in UTF-16, exactly as long as
            // they are: the registry's calls add a NUL to a string whose size
            // leaves its NUL out when a NUL follows it in memory, so something
            // else follows it here.
            const bool string = value.type == REG_SZ || value.type == REG_EXPAND_SZ;
            const QString text = store::decodeText(value.data);
            const QByteArray bytes =
                string ? QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2)
                       : value.data;
            const QByteArray followed = bytes + QByteArray(2, '\x01');
            QVERIFY(RegSetValueExW(key, reinterpret_cast<LPCWSTR>(name.utf16()), 0, value.type,
                                   reinterpret_cast<const BYTE*>(followed.constData()),
                                   DWORD(bytes.size())) == ERROR_SUCCESS);
            RegCloseKey(key);
        });
}
#endif
} // namespace

class RegistryTest : public QObject {
    Q_OBJECT
private slots:
    void lookup_data();
    void lookup();
};

void RegistryTest::lookup_data() {
    QTest::addColumn<QByteArray>("file"); // the user's (a null array: none)
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("text");
    auto row = [](const char* name, const QByteArray& file, bool ok, const QString& text) {
        QTest::newRow(name) << file << ok << text;
    };
    const QByteArray regedit4 = "REGEDIT4\r\n\r\n" + kSection;
    QStringEncoder utf16(QStringEncoder::Utf16LE, QStringEncoder::Flag::WriteBom);

    // Formats, and keys and values matched without regard to case.
    row("version 5 in UTF-8 with a BOM, escapes", "\xEF\xBB\xBF" + path("\"C:\\\\M\xC3\xBC\\\"\""),
        true, "C:\\Mü\"");
    row("REGEDIT4, root HKLM, LF line ends, other case, no last line end",
        "REGEDIT4\n[HKLM\\" + kPath.toLower() + "]\n\"Path\"=\"x\"", true, "x");
    row("root left out, comments and blank lines",
        kVersion5 + "; by hand\r\n[" + kPath + "]\r\n\r\n\"PATH\"=\"x\"\r\n", true, "x");
    row("UTF-16LE file with a byte-order mark", utf16(QString::fromLatin1(path("\"/M\xFCller\""))),
        true, "/Müller");
    row("Windows-1252 in a REGEDIT4 file", regedit4 + "\"PATH\"=\"/M\xFCller\"", true, "/Müller");
    row("trailing separator kept", path("\"/srv/kestrel/\""), true, "/srv/kestrel/");
    row("empty string", path("\"\""), true, "");

    // The buffer of 1024 bytes, a string's NUL included; the value types.
    row("1023 characters", path('"' + QByteArray(1023, 'a') + '"'), true, QString(1023, u'a'));
    row("1024 characters fail", path('"' + QByteArray(1024, 'a') + '"'), false, "");
    row("1024 bytes without a NUL",
        regedit4 + "\"PATH\"=hex(1):" + QByteArray(1024, 'c').toHex(','), true,
        QString(1024, u'c'));
    row("one NUL dropped", regedit4 + "\"PATH\"=hex(1):41,00,00", true,
        QString::fromLatin1("A\0", 2));
    row("hex(1) in version 5 is UTF-16, over two lines", path("hex(1):43,00,\\\r\n  3a,00,00,00"),
        true, "C:");
    row("REG_EXPAND_SZ: as passed", path("hex(2):43,00,3a,00,00,00"), true, kPassed);
    row("REG_DWORD", path("dword:0000001f"), true, "&h1F");

    // Lookups that fail, and files that are refused whole.
    row("no user's file: the system's", QByteArray(), true, "system");
    row("missing value", kVersion5 + kSection + "\"FOLDER\"=\"x\"\r\n", false, "");
    row("section of another root",
        kVersion5 + "[HKEY_CURRENT_USER\\" + kPath + "]\r\n\"PATH\"=\"x\"", false, "");
    row("0-byte file", "", false, "");
    row("damaged line after the value", path("\"x\"\r\n\"OTHER\"=\"y"), false, "");
    row("bad hex digit", path("\"x\"\r\n\"OTHER\"=hex:4g"), false, "");
}

void RegistryTest::lookup() {
    QFETCH(QByteArray, file);
    QFETCH(bool, ok);
    QFETCH(QString, text);

#ifdef _WIN32
    if (file.isNull())
        QSKIP("Windows has no registry file of the system's to fall back on");
    importIntoRegistry(file);
#else
    KestrelFixture fx; // the system's file, then the user's before it
    QDir().mkpath(fx.root() + "/system-config/quillbox");
    KestrelFixture::writeFile(fx.root() + "/system-config/quillbox/registry.reg",
                              path("\"system\""));
    if (!file.isNull())
        fx.writeRegistry(file);
#endif
    QString t = kPassed;
    QCOMPARE(GetRegistryText(kHKeyLocalMachine, QString::fromLatin1(kPath), "PATH", t), ok);
    QCOMPARE(t, text);
    // The file holds HKEY_LOCAL_MACHINE only; Kestrel's folder is that lookup's text.
    QVERIFY(!GetRegistryText(0x80000001u, QString::fromLatin1(kPath), "PATH", t) && t.isEmpty());
    QCOMPARE(globals::GetKestrelFolder(), ok && text != kPassed ? text : QString());
}

QTEST_GUILESS_MAIN(RegistryTest)
#include "tst_registry.moc"
