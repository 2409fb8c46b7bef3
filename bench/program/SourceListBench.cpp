// The network link form's mount-point list: how long the GUI thread is busy
// when a caster's source table of many mount points arrives. The list is the
// page's own, on a shown page (offscreen), and the events that the filling
// posts are processed inside the timing. Run by hand:
//   build/bench/bin/brantor_source_list_bench
// Goal: 40,000 names listed in well under a second.
#include "program/DeviceManager.h"
#include "program/pages/DataChain_Net.h"
#include "program/pages/SourceList.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QTemporaryDir>

#include "platform/Paths.h"

namespace {

DataChain_Net* g_page = nullptr;

// Names as casters give them, a few of them twice.
QStringList Names(int count) {
    QStringList names;
    names.reserve(count + count / 100);
    for (int i = 0; i < count; ++i) names << QStringLiteral("MP%1").arg(i, 6, 10, QLatin1Char('0'));
    for (int i = 0; i < count; i += 100) names << names[i];
    return names;
}

// The table text those names come from: ordinary lines of about 100 bytes.
QString Table(const QStringList& names) {
    QString table = QStringLiteral("SOURCETABLE 200 OK\r\nServer: bench\r\n\r\n");
    for (const QString& name : names)
        table += QStringLiteral("STR;") + name +
                 QStringLiteral(";Mount;RTCM 3.2;1004(1),1006(10),1012(1);2;GPS+GLO;NET;DEU;48.10;11.50;0;0;"
                                "sNTRIP;none;B;N;9600;\r\n");
    table += QStringLiteral("ENDSOURCETABLE\r\n");
    return table;
}

QComboBox* SourceBox() { return g_page->findChild<QComboBox*>(QStringLiteral("comboBox_sourceList")); }

// The names already taken from the table: the list alone.
void FillList(benchmark::State& state) {
    const QStringList names = Names(int(state.range(0)));
    QComboBox* box = SourceBox();
    for (auto _ : state) {
        FillSourceList(box, names);
        QCoreApplication::processEvents();
    }
    state.counters["listed"] = double(box->count());
}

// The whole road from the gathered table text to the shown list.
void TableToList(benchmark::State& state) {
    const QString table = Table(Names(int(state.range(0))));
    QComboBox* box = SourceBox();
    for (auto _ : state) {
        QString text = table;
        QStringList names;
        DeviceManager::parseSourceTable(text, names);
        FillSourceList(box, names);
        QCoreApplication::processEvents();
    }
    state.counters["listed"] = double(box->count());
    state.counters["table_bytes"] = double(table.size());
}

BENCHMARK(FillList)->Arg(10000)->Arg(40000)->Unit(benchmark::kMillisecond);
BENCHMARK(TableToList)->Arg(10000)->Arg(40000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The page reads its limits and servers from a program folder of its own.
    QTemporaryDir folder;
    platform::SetProgramFolder(folder.path().toStdString());
    DataChain_Net page;
    page.show();
    QCoreApplication::processEvents();
    g_page = &page;

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_page = nullptr;
    return 0;
}
