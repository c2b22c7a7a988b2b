// The answer path of the two-choice exercise as a pupil sees it: from the
// click on an answer to the window repainted with the sign, the counts and
// the completed word; and from "avanti" to the next word on screen.

#include "exercises/exercisewindow.h"
#include "feedback/sounds.h"
#include "layout/formhost.h"
#include "layout/formnames.h"
#include "state/appstate.h"
#include "state/random.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <benchmark/benchmark.h>

namespace {

class SilentOutput : public SoundOutput
{
public:
    void play(const QString &) override { }
};

struct Fixture
{
    Fixture()
    {
        QFile list(folder.path() + QStringLiteral("/aha.txt"));
        list.open(QIODevice::WriteOnly);
        for (int i = 0; i < 200; ++i)
            list.write(QByteArray("Marco _ un gatto numero ") + QByteArray::number(i) + ",ha\r\n");
        list.close();
        AppState &state = appState();
        state.WordListPath = list.fileName();
        state.ChoiceA = QStringLiteral("a");
        state.ChoiceB = QStringLiteral("ha");
        state.TopicMarker = QStringLiteral("h");
        Sounds::setOutput(std::make_unique<SilentOutput>());
        host.registerForm(
            FormName::kWordExercise, [] { return new ExerciseWindow(ExerciseWindow::Kind::Words); });
        host.resize(1280, 800);
        host.show();
        window = static_cast<ExerciseWindow *>(host.showForm(FormName::kWordExercise));
        QCoreApplication::processEvents();
    }

    QTemporaryDir folder;
    FormHost host;
    ExerciseWindow *window = nullptr;
};

Fixture &fixture()
{
    static Fixture f;
    return f;
}

void BM_AnswerToSignShown(benchmark::State &state)
{
    ExerciseWindow *window = fixture().window;
    for (auto _ : state) {
        state.PauseTiming();
        QTest::mouseClick(window->nextButton(), Qt::LeftButton);
        window->repaint();
        state.ResumeTiming();
        QTest::mouseClick(window->answerButton(1), Qt::LeftButton);
        window->repaint();
    }
}
BENCHMARK(BM_AnswerToSignShown)->Unit(benchmark::kMillisecond);

void BM_AvantiToNextWordShown(benchmark::State &state)
{
    ExerciseWindow *window = fixture().window;
    for (auto _ : state) {
        state.PauseTiming();
        QTest::mouseClick(window->answerButton(1), Qt::LeftButton);
        window->repaint();
        state.ResumeTiming();
        QTest::mouseClick(window->nextButton(), Qt::LeftButton);
        window->repaint();
    }
}
BENCHMARK(BM_AvantiToNextWordShown)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
