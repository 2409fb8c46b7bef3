// The network link form's Server box: how long the GUI thread is busy when
// the form refills the box with the saved servers, as it does each time the
// data link page reads the receiver's network link. The page is the
// program's own, shown (offscreen), in a rover's work mode so that servers of
// every protocol are listed; the servers come from the program's server
// store in a temporary program folder. The events that the refill posts are
// processed inside the timing. Run by hand:
//   build/bench/bin/brantor_server_box_bench
// Goals: 5,000 servers listed in well under a second; one refill within
// three times a bare parse of the same file by the XML library (BareParse,
// in the same run); choosing "GPRS" with the receiver's reply fills the box
// once (the "emptied" counter).
#include "program/CommonHelper.h"
#include "program/JSettings.h"
#include "program/ServerStore.h"
#include "program/pages/DataChain_Net.h"

#include <benchmark/benchmark.h>
#include <tinyxml.h>

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "platform/Paths.h"

namespace {

DataChain_Net* g_page = nullptr;

// Servers as users name them, of varied lengths, spread over the three
// protocols the rover's form offers.
ServerRecord Server(int i) {
    static const int kProtocols[] = {0, 1, 3};
    ServerRecord record;
    record.protocol = kProtocols[i % 3];
    record.name = QStringLiteral("Caster %1 %2").arg(i, 5, 10, QLatin1Char('0')).arg(QString(i % 17, QLatin1Char('x')));
    record.address = QStringLiteral("10.%1.%2.%3").arg((i >> 16) & 255).arg((i >> 8) & 255).arg(i & 255);
    record.port = 2101;
    if (record.protocol == 1) {
        record.user = QStringLiteral("user");
        record.password = QStringLiteral("secret");
        record.sources = {QStringLiteral("MP%1").arg(i)};
    } else if (record.protocol == 0) {
        record.source = QStringLiteral("0001");
    }
    return record;
}

// Writes the store's file with `count` servers in one save, laid out as the
// store writes each entry (appending thousands one by one through the store,
// each a read and a save of the whole file, would take minutes), then asks
// the store to read them back: a file the store did not take is an error,
// not a fast case.
bool StoreServers(int count) {
    // A fresh file each time: the servers of a larger case left in the file
    // would make a smaller case's file larger than its servers.
    const std::wstring path = CommonHelper::netServerPath();
    QFile::remove(QString::fromStdWString(path));
    JSettings settings;
    settings.setOwnerOnly(true);
    if (settings.open(path, L"netserver") != JSettings::kOk) settings.reset();
    settings.beginGroup(L"common");
    settings.beginWriteArray(L"servers", count);
    for (int32_t i = 0; i < count; ++i) {
        const ServerRecord record = Server(i);
        settings.setArrayIndex(i);
        settings.setValue(L"key", i);
        settings.beginGroup(L"server");
        settings.setValue(L"name", record.name.toStdWString());
        settings.setValue(L"address", record.address.toStdWString());
        settings.setValue(L"protocol", record.protocol);
        settings.setValue(L"port", record.port);
        QStringList sources = record.sources;
        if (record.protocol == 1) {
            settings.setValue(L"user", record.user.toStdWString());
            settings.setValue(L"password", record.password.toStdWString());
        } else if (record.protocol == 0) {
            sources = {record.source};
        }
        if (!sources.isEmpty()) {
            settings.beginWriteArray(L"sources", int32_t(sources.size()));
            for (int32_t s = 0; s < int32_t(sources.size()); ++s) {
                settings.setArrayIndex(s);
                settings.setValue(L"source", sources[s].toStdWString());
            }
            settings.endArray();
        }
        settings.endGroup();
    }
    settings.endArray();
    settings.endGroup();
    if (settings.save() != 0) return false;

    QStringList names;
    QList<int32_t> keys;
    ServerStore::instance()->list(names, keys, -1);
    ServerRecord last;
    return names.size() == count && (count == 0 || (ServerStore::instance()->read(last, count - 1) &&
                                                     last.name == Server(count - 1).name));
}

QComboBox* ServerBox() { return g_page->findChild<QComboBox*>(QStringLiteral("comboBox_server")); }

// The refill of a read: the box emptied, "<New>" and every saved server
// listed, nothing selected.
void RefillServers(benchmark::State& state) {
    if (!StoreServers(int(state.range(0)))) {
        state.SkipWithError("the server store could not be filled");
        return;
    }
    QComboBox* box = ServerBox();
    for (auto _ : state) {
        g_page->read();
        QCoreApplication::processEvents();
    }
    // "<New>" and every server.
    if (box->count() != state.range(0) + 1) state.SkipWithError("not every server was listed");
    state.counters["listed"] = double(box->count());
}

BENCHMARK(RefillServers)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond);

// What the XML library alone takes for the same file: the bytes as the
// store's file holds them, parsed into a document (read from disk and
// freed outside the timing). A refill is measured against this.
void BareParse(benchmark::State& state) {
    if (!StoreServers(int(state.range(0)))) {
        state.SkipWithError("the server store could not be filled");
        return;
    }
    QFile file(QString::fromStdWString(CommonHelper::netServerPath()));
    if (!file.open(QIODevice::ReadOnly)) {
        state.SkipWithError("the server file could not be read");
        return;
    }
    const std::string bytes = file.readAll().toStdString();
    for (auto _ : state) {
        std::optional<TiXmlDocument> doc(std::in_place);
        doc->Parse(bytes.c_str(), nullptr, TIXML_ENCODING_UTF8);
        if (doc->Error()) state.SkipWithError("the server file does not parse");
        state.PauseTiming();
        doc.reset();
        state.ResumeTiming();
    }
    state.counters["bytes"] = double(bytes.size());
}

BENCHMARK(BareParse)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond);

// The freeze when the user chooses "GPRS" for the data link of a rover: the
// form is cleared and read, as the data link page does it, and the
// receiver's reply sets the work mode it reports (Rover), as the reply's
// handler does; then the box is filled. With no receiver here, the reply is
// that setting of the mode, which is what makes the form list its servers
// again. "emptied" counts how often the box was emptied per choice.
void ChooseGprsWithReply(benchmark::State& state) {
    if (!StoreServers(int(state.range(0)))) {
        state.SkipWithError("the server store could not be filled");
        return;
    }
    QComboBox* box = ServerBox();
    QComboBox* mode = g_page->findChild<QComboBox*>(QStringLiteral("comboBox_WorkMode"));
    int emptied = 0;
    const QMetaObject::Connection counting =
        QObject::connect(box->model(), &QAbstractItemModel::rowsRemoved, [&](const QModelIndex&, int first, int) {
            if (first == 0) ++emptied;
        });
    for (auto _ : state) {
        g_page->clearForm();
        g_page->read();
        mode->setCurrentIndex(mode->findData(1));
        QCoreApplication::processEvents();
    }
    QObject::disconnect(counting);
    if (box->count() != state.range(0) + 1) state.SkipWithError("not every server was listed");
    state.counters["listed"] = double(box->count());
    state.counters["emptied"] = double(emptied) / double(state.iterations());
}

BENCHMARK(ChooseGprsWithReply)->Arg(5000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The page reads its limits and servers from a program folder of its own.
    QTemporaryDir folder;
    if (!folder.isValid()) {
        std::fprintf(stderr, "no temporary program folder\n");
        return 1;
    }
    platform::SetProgramFolder(folder.path().toStdString());
    auto page = std::make_unique<DataChain_Net>();
    page->show();
    // A rover: the form lists the servers of every protocol.
    QComboBox* mode = page->findChild<QComboBox*>(QStringLiteral("comboBox_WorkMode"));
    mode->setCurrentIndex(mode->findData(1));
    QCoreApplication::processEvents();
    g_page = page.get();

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_page = nullptr;
    page.reset();
    return 0;
}
