// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

// Catches: a metadata value read with the wrong width, sign, type or byte order; a malformed block
// (cut value, missing terminator, unsupported type code) read past its end or taken as good; the
// one-pass block decoder parting from the extract operations, on random and damaged blocks; a failed
// extract leaving data behind.

#include "dbusmessageutil.h"
#include "kestmetadataencoder.h"

#include <QRandomGenerator>
#include <QTest>

#include <climits>
#include <memory>

namespace {

using Block = KestMetadataEncoder;

struct Decoded
{
    bool ok = false;
    QStringList keys;
    QStringList values;
    bool leftOver = false;
};

// From a buffer of exactly the block's size, so that the address sanitizer sees a read past it.
Decoded decode(const QByteArray &block)
{
    const std::unique_ptr<char[]> exact(new char[size_t(block.size())]);
    std::copy(block.cbegin(), block.cend(), exact.get());
    Decoded result;
    result.ok = DBusMessageUtil::decodeMetadataBlock(QByteArray::fromRawData(exact.get(), block.size()), result.keys,
                                                     result.values);
    return result;
}

// The same block read with the extract operations, entry by entry.
Decoded decodeWithExtracts(QByteArray data)
{
    Decoded result;
    bool error = false;
    for (int guard = 0; !data.isEmpty() && !error && guard < 1000; ++guard) {
        result.keys << DBusMessageUtil::extractString(data, &error);
        DBusMessageUtil::extractNumericValue(data, 0, &error);
        const int type = DBusMessageUtil::extractNumericValue(data, 0, &error);
        const QVariant value = DBusMessageUtil::extractMetadataValue(type, data, &error);
        if (!error)
            result.values << value.toString();
    }
    // A failed extract consumes the rest, so that a caller's loop over the data ends.
    result.leftOver = !data.isEmpty();
    result.ok = !error && !result.leftOver;
    return result;
}

QByteArray randomBytes(QRandomGenerator &random, int size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (char &byte : bytes)
        byte = char(random.bounded(256));
    return bytes;
}

// Entries of random supported and unsupported types; some of them cut or damaged somewhere.
QByteArray randomEntries(QRandomGenerator &random, bool damaged)
{
    static const QList<QPair<int, int>> codesAndSizes = {{12, 1}, {20, 4}, {24, 4}, {28, 4}, {40, 8},
                                                         {44, 8}, {60, 8}, {64, 0}, {16, 4}, {56, 4}};
    Block encoder;
    for (int i = random.bounded(6); i > 0; --i) {
        const QPair<int, int> type = codesAndSizes.at(random.bounded(codesAndSizes.size()));
        // A string value is text up to its zero byte.
        encoder.addHeader(QStringLiteral("k%1").arg(random.bounded(4)), type.first)
            .addBytes(type.first == Block::String ? randomBytes(random, random.bounded(8)).replace('\0', 'x') + '\0'
                                                  : randomBytes(random, type.second));
    }
    QByteArray block = encoder.block();
    if (damaged && !block.isEmpty()) {
        const int at = random.bounded(block.size());
        if (random.bounded(2))
            block.truncate(at);
        else
            block[at] = char(random.bounded(256));
    }
    return block;
}

} // namespace

class DBusMessageUtilTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void blocks_data()
    {
        QTest::addColumn<QByteArray>("block");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QVariantMap>("metadata");
        QTest::addColumn<QStringList>("values");
        const QString k = QStringLiteral("k");
        const auto one = [&k](const char *name, const Block &entry, const QVariant &value) {
            QTest::newRow(name) << entry.block() << true << QVariantMap{{k, value}} << QStringList{value.toString()};
        };
        // The one-letter key leaves every value unaligned.
        one("char", Block().addChar(k, -1), -1);
        one("char high", Block().addChar(k, 127), 127);
        one("bool", Block().addBool(k, 2), true);
        one("bool off", Block().addBool(k, 0), false);
        one("int", Block().addInt(k, INT_MIN), INT_MIN);
        one("uint", Block().addUInt(k, UINT_MAX), UINT_MAX);
        one("int64", Block().addInt64(k, LLONG_MIN), qlonglong(LLONG_MIN));
        one("uint64", Block().addUInt64(k, ULLONG_MAX), qulonglong(ULLONG_MAX));
        one("double", Block().addDouble(k, -2.5), -2.5);
        one("string", Block().addString(k, QStringLiteral("Caf\u00e9")), QStringLiteral("Caf\u00e9"));
        one("empty string", Block().addString(k, QString()), QString());
        // The map keeps a repeated key's last value, the lists keep every entry in block order.
        QTest::newRow("repeated and empty keys")
            << Block().addInt(k, 1).addString(QString(), QStringLiteral("keyless")).addInt(k, 2).block() << true
            << QVariantMap{{QString(), QStringLiteral("keyless")}, {k, 2}}
            << QStringList{QStringLiteral("1"), QStringLiteral("keyless"), QStringLiteral("2")};
        QTest::newRow("empty block") << QByteArray() << true << QVariantMap() << QStringList();

        // Malformed: what comes before the fault is decoded, nothing after it.
        const Block good = Block().addInt(k, 3);
        const auto bad = [&](const char *name, const Block &block) {
            const bool afterGood = block.block().startsWith(good.block());
            QTest::newRow(name) << block.block() << false << (afterGood ? QVariantMap{{k, 3}} : QVariantMap())
                                << (afterGood ? QStringList{QStringLiteral("3")} : QStringList());
        };
        bad("key without terminator", Block(good).addBytes("title"));
        bad("short skipped word", Block(good).addBytes(QByteArray("k\0\1\0", 4)));
        bad("short type code", Block().addBytes(QByteArray("k\0", 2)).addWord(1).addBytes("\x18"));
        for (int code : {16, 32, 36, 56, 0, -1, 13})
            bad(qPrintable(QStringLiteral("unsupported code %1").arg(code)), Block(good).addHeader(k, code).addWord(1));
        bad("int64 cut after 4 bytes", Block().addHeader(k, 40).addWord(5));
        bad("double cut after 7 bytes", Block().addHeader(k, 60).addBytes("1234567"));
        bad("int cut after 3 bytes", Block().addHeader(k, 24).addBytes("123"));
        bad("char without its byte", Block(good).addHeader(k, 12));
        bad("string value without terminator", Block().addHeader(k, 64).addBytes("Song"));
    }

    void blocks()
    {
        QFETCH(QByteArray, block);
        QFETCH(bool, ok);
        QFETCH(QVariantMap, metadata);
        QFETCH(QStringList, values);
        QVariantMap decoded;
        QCOMPARE(DBusMessageUtil::decodeMetadataBlock(block, decoded), ok);
        QCOMPARE(decoded, metadata);
        for (auto it = metadata.cbegin(); it != metadata.cend(); ++it)
            QCOMPARE(decoded.value(it.key()).userType(), it.value().userType());
        const Decoded listed = decode(block);
        QCOMPARE(listed.ok, ok);
        QCOMPARE(listed.values, values);
        // A failing entry leaves its key without a value.
        QCOMPARE(listed.keys.size(), values.size() + (ok ? 0 : 1));
        for (int i = 0; i < values.size(); ++i)
            QVERIFY(metadata.contains(listed.keys.at(i)));
    }

    void randomBlocksDecodeLikeTheExtractLoop()
    {
        // Thousands of warnings and traces say nothing here.
        const QtMessageHandler previous = qInstallMessageHandler(
            [](QtMsgType, const QMessageLogContext &, const QString &) {});
        QRandomGenerator random(20240611);
        int wellFormed = 0;
        for (int round = 0; round < 3000; ++round) {
            const QByteArray block = round % 3 ? randomEntries(random, round % 3 == 2)
                                               : randomBytes(random, random.bounded(48));
            const Decoded reference = decodeWithExtracts(block);
            const Decoded fast = decode(block);
            QVERIFY2(fast.ok == reference.ok, block.toHex().constData());
            QCOMPARE(fast.keys, reference.keys);
            QCOMPARE(fast.values, reference.values);
            QVERIFY(!reference.leftOver);
            wellFormed += fast.ok ? 1 : 0;
        }
        qInstallMessageHandler(previous);
        // Both kinds of block were met often enough to mean something.
        QVERIFY2(wellFormed > 500 && wellFormed < 2500, qPrintable(QString::number(wellFormed)));
    }
};

QTEST_GUILESS_MAIN(DBusMessageUtilTest)
#include "tst_dbusmessageutil.moc"
