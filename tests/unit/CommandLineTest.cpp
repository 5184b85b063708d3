#include "app/CommandLine.h"
#include "platform/InstanceRequest.h"

#include <QRegularExpression>
#include <QTest>

// The command line as a user or a script writes it, Qt's own options stepped over and left for Qt, the
// one start that has no display to go to, and the request lines the running instance is asked with.
class CommandLineTest : public QObject {
    Q_OBJECT
private slots:
    void ourOptions();
    void qtOptionsPassThrough();
    void mistakes();
    void pickAndPaste();
    void noDisplay();
    void requestLines();
    void requestLinesRejected();

private:
    static CommandLine::Action action(const QStringList& arguments) { return CommandLine::parse(arguments).action; }
};

void CommandLineTest::ourOptions() {
    using A = CommandLine::Action;
    QCOMPARE(action({}), A::Start);
    QCOMPARE(action({QStringLiteral("--help")}), A::Help);
    QCOMPARE(action({QStringLiteral("-h")}), A::Help);
    QCOMPARE(action({QStringLiteral("--version")}), A::Version);
    QCOMPARE(action({QStringLiteral("--show")}), A::Show);
    QCOMPARE(action({QStringLiteral("--quit")}), A::Quit);
    // Help wins over anything else, even a mistake after it; the same request twice is one request.
    QCOMPARE(action({QStringLiteral("--quit"), QStringLiteral("--help")}), A::Help);
    QCOMPARE(action({QStringLiteral("--show"), QStringLiteral("--show")}), A::Show);
    QVERIFY(QRegularExpression(QStringLiteral("^wordwisp \\d+\\.\\d+\\.\\d+\\n$"))
                .match(CommandLine::versionLine())
                .hasMatch());
    for (const char* option : {"--show", "--quit", "--help", "--version"})
        QVERIFY2(CommandLine::usage().contains(QLatin1String(option)), option);
}

void CommandLineTest::qtOptionsPassThrough() {
    using A = CommandLine::Action;
    const CommandLine withPlatform =
        CommandLine::parse({QStringLiteral("-platform"), QStringLiteral("offscreen"), QStringLiteral("--show")});
    QCOMPARE(withPlatform.action, A::Show);
    QCOMPARE(withPlatform.platform, QStringLiteral("offscreen"));
    // A value is never read as an option of ours, whatever it looks like.
    QCOMPARE(action({QStringLiteral("-stylesheet"), QStringLiteral("--quit")}), A::Start);
    QCOMPARE(action({QStringLiteral("-style=Fusion"), QStringLiteral("--reverse"), QStringLiteral("-sync")}), A::Start);
    QCOMPARE(action({QStringLiteral("--style"), QStringLiteral("Fusion"), QStringLiteral("-qwindowtitle"),
                     QStringLiteral("x y")}),
             A::Start);
    QVERIFY(CommandLine::parse({QStringLiteral("-display"), QStringLiteral(":1")}).displayOption);
}

void CommandLineTest::mistakes() {
    using A = CommandLine::Action;
    for (const QStringList& arguments : QList<QStringList>{{QStringLiteral("--bogus")},
                                                           {QStringLiteral("-x")},
                                                           {QStringLiteral("file.txt")},
                                                           {QStringLiteral("--")},
                                                           {QStringLiteral("--show"), QStringLiteral("--quit")},
                                                           {QStringLiteral("--version"), QStringLiteral("--show")},
                                                           {QStringLiteral("--show"), QStringLiteral("-platform")},
                                                           {QStringLiteral("-show")}}) {
        const CommandLine line = CommandLine::parse(arguments);
        QVERIFY2(line.action == A::Misuse, qPrintable(arguments.join(u' ')));
        QVERIFY(!line.problem.isEmpty());
    }
}

void CommandLineTest::pickAndPaste() {
    using A = CommandLine::Action;
    QCOMPARE(action({QStringLiteral("--pick")}), A::Pick);
    const CommandLine paste = CommandLine::parse({QStringLiteral("--paste"), QStringLiteral(" Sig ")});
    QCOMPARE(paste.action, A::Paste);
    // As typed: the instance matches the name as it matches a copied keyword.
    QCOMPARE(paste.pasteKey, QStringLiteral(" Sig "));
    QVERIFY(paste.pasteCategory.isEmpty());
    // The category before or after the key; a name that looks like an option is still a name.
    const CommandLine named = CommandLine::parse(
        {QStringLiteral("--category"), QStringLiteral("--show"), QStringLiteral("--paste"), QStringLiteral("-x")});
    QCOMPARE(named.action, A::Paste);
    QCOMPARE(named.pasteKey, QStringLiteral("-x"));
    QCOMPARE(named.pasteCategory, QStringLiteral("--show"));
    for (const char* option : {"--pick", "--paste", "--category"})
        QVERIFY2(CommandLine::usage().contains(QLatin1String(option)), option);

    for (const QStringList& arguments : QList<QStringList>{
             {QStringLiteral("--paste")},
             {QStringLiteral("--paste"), QStringLiteral("  ")},
             {QStringLiteral("--category"), QStringLiteral("Work")},
             {QStringLiteral("--pick"), QStringLiteral("--category"), QStringLiteral("Work")},
             {QStringLiteral("--paste"), QStringLiteral("a"), QStringLiteral("--paste"), QStringLiteral("b")},
             {QStringLiteral("--paste"), QStringLiteral("a"), QStringLiteral("--category"), QStringLiteral("W"),
              QStringLiteral("--category"), QStringLiteral("X")},
             {QStringLiteral("--pick"), QStringLiteral("--show")},
             {QStringLiteral("--paste"), QStringLiteral("a"), QStringLiteral("--quit")}}) {
        const CommandLine line = CommandLine::parse(arguments);
        QVERIFY2(line.action == A::Misuse, qPrintable(arguments.join(u' ')));
        QVERIFY(!line.problem.isEmpty());
    }
}

void CommandLineTest::noDisplay() {
    const QString none;
    const CommandLine plain = CommandLine::parse({});
    QVERIFY(plain.lacksDisplay(none, none, none));
    QVERIFY(!plain.lacksDisplay(QStringLiteral(":0"), none, none));
    QVERIFY(!plain.lacksDisplay(none, QStringLiteral("wayland-0"), none));
    // Platforms that draw into no desktop need none; those that do need theirs, also in a list of fallbacks.
    QVERIFY(!plain.lacksDisplay(none, none, QStringLiteral("offscreen")));
    QVERIFY(!plain.lacksDisplay(none, none, QStringLiteral("wayland;vnc")));
    QVERIFY(plain.lacksDisplay(none, none, QStringLiteral("xcb")));
    QVERIFY(plain.lacksDisplay(none, none, QStringLiteral("wayland-egl;xcb")));
    // The option wins over the variable.
    QVERIFY(!CommandLine::parse({QStringLiteral("-platform"), QStringLiteral("minimal")})
                 .lacksDisplay(none, none, QStringLiteral("xcb")));
    QVERIFY(CommandLine::parse({QStringLiteral("-platform"), QStringLiteral("xcb")})
                .lacksDisplay(none, none, QStringLiteral("offscreen")));
    QVERIFY(!CommandLine::parse({QStringLiteral("-display"), QStringLiteral(":3")}).lacksDisplay(none, none, none));
}

void CommandLineTest::requestLines() {
    const InstanceRequest show{QStringLiteral("show"), {}};
    QCOMPARE(show.encode(), QByteArray("wordwisp/1 show\n"));
    // Arguments with spaces, line breaks, percent signs and non-ASCII letters come back as they went.
    const InstanceRequest paste{
        QStringLiteral("paste"),
        {QStringLiteral("best regards"), QStringLiteral("Caffè 100%"), QStringLiteral("a\nb"), QString()}};
    const QByteArray line = paste.encode();
    QCOMPARE(line.count('\n'), 1);
    QVERIFY(line.endsWith('\n'));
    const std::optional<InstanceRequest> back = InstanceRequest::decode(line);
    QVERIFY(back);
    QCOMPARE(back->command, paste.command);
    QCOMPARE(back->arguments, paste.arguments);
    QVERIFY(InstanceRequest::decode("wordwisp/1 quit"));
    // What does not fit is not sent at all.
    const InstanceRequest oversized{QStringLiteral("paste"), {QString(InstanceRequest::kMaxBytes, u'k')}};
    QVERIFY(oversized.encode().isEmpty());
}

void CommandLineTest::requestLinesRejected() {
    for (const QByteArray& line :
         QList<QByteArray>{"show\n", "wordwisp/2 show\n", "wordwisp/1\n", "wordwisp/1 \n", "wordwisp/1 Show\n",
                           "wordwisp/1 show;rm\n", "WORDWISP/1 show\n", " wordwisp/1 show\n", "wordwisp/1 paste %FF\n",
                           "wordwisp/1 paste a\tb\n", "wordwisp/1 show\r\n",
                           "wordwisp/1 show\n" + QByteArray(InstanceRequest::kMaxBytes, 'x')})
        QVERIFY2(!InstanceRequest::decode(line), line.constData());
    // Plain words are fine as arguments.
    QCOMPARE(InstanceRequest::decode("wordwisp/1 paste a b\n")->arguments, (QStringList{"a", "b"}));
}

QTEST_MAIN(CommandLineTest)
#include "CommandLineTest.moc"
