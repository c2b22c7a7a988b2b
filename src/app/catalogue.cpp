#include "catalogue.h"

#include "exercises/exercisewindow.h"
#include "layout/formnames.h"

namespace Catalogue {

namespace {

Button two(const char *caption, int left, int top, const char *file, const char *a, const char *b)
{
    return {QString::fromUtf8(caption), {left, top}, QString::fromUtf8(file), QString::fromUtf8(a),
        QString::fromUtf8(b), Opens::TwoChoice};
}

Button other(const char *caption, int left, int top, const char *file, Opens opens)
{
    return {QString::fromUtf8(caption), {left, top}, QString::fromUtf8(file), {}, {}, opens};
}

ReviewFile reviewFile(const char *file, const char *first, const char *second)
{
    return {QString::fromUtf8(file), QString::fromUtf8(first), QString::fromUtf8(second)};
}

QList<TopicMenu> buildCatalogue()
{
    QList<TopicMenu> menus;

    menus.append({FormName::kSimilarSoundsMenu, QStringLiteral("Suoni simili"), QStringLiteral("SuoniSImili"),
        QStringLiteral("suonisimili"), {7995, 6270},
        {
            two("b p", 120, 240, "testidifort/suonisimili/bp.txt", "b", "p"),
            two("l r", 120, 1440, "testidifort/suonisimili/lr.txt", "l", "r"),
            two("m n", 120, 2640, "testidifort/suonisimili/mn.txt", "m", "n"),
            two("d t", 120, 3840, "testidifort/suonisimili/dt.txt", "d", "t"),
            two("f v", 120, 5040, "testidifort/suonisimili/fv.txt", "f", "v"),
            two("s z", 2640, 240, "testidifort/suonisimili/sz.txt", "s", "z"),
            two("c g duro", 2640, 1440, "testidifort/suonisimili/cgduro.txt", "c", "g"),
            two("c g dolce", 2640, 2640, "testidifort/suonisimili/cgdolce.txt", "c", "g"),
            two(" q g", 2640, 3840, "testidifort/suonisimili/qg.txt", "q", "g"),
            two("mp mb", 2640, 5040, "testidifort/suonisimili/mpmb.txt", "mp", "mb"),
            other(" ripasso", 5160, 240, "", Opens::Review),
            other("frasi", 5160, 1440, "testidifort/suonisimili/frasi.txt", Opens::Sentence),
            other(" menu", 5160, 5040, "", Opens::Back),
        },
        {
            reviewFile("testidifort/suonisimili/bp.txt", "b", "p"),
            reviewFile("testidifort/suonisimili/dt.txt", "d", "t"),
            reviewFile("testidifort/suonisimili/cgdolce.txt", "c", "g"),
            reviewFile("testidifort/suonisimili/cgduro.txt", "c", "g"),
            reviewFile("testidifort/suonisimili/fv.txt", "f", "v"),
            reviewFile("testidifort/suonisimili/lr.txt", "l", "r"),
            reviewFile("testidifort/suonisimili/mn.txt", "m", "n"),
            reviewFile("testidifort/suonisimili/qg.txt", "q", "g"),
            reviewFile("testidifort/suonisimili/sz.txt", "s", "z"),
            reviewFile("testidifort/suonisimili/mpmb.txt", "mp", "mb"),
            reviewFile("testidifort/suonisimili/cg.txt", "c", "g"),
        }});

    menus.append({FormName::kCGMenu, QStringLiteral("Suoni   c  g"), QStringLiteral("altre difficoltà"),
        QStringLiteral("suonicg"), {10215, 6480},
        {
            two("chi  ci", 120, 240, "testidifort/suonicg/chici.txt", "chi", "ci"),
            two("che  ce", 120, 1440, "testidifort/suonicg/chece.txt", "che", "ce"),
            two("ca  cia", 120, 2640, "testidifort/suonicg/cacia.txt", "ca", "cia"),
            two("co  cio", 120, 3840, "testidifort/suonicg/cocio.txt", "co", "cio"),
            two("cu  ciu", 120, 5040, "testidifort/suonicg/cuciu.txt", "cu", "ciu"),
            two("ghi  gi", 2640, 240, "testidifort/suonicg/ghigi.txt", "ghi", "gi"),
            two("ghe  ge", 2640, 1440, "testidifort/suonicg/ghege.txt", "ghe", "ge"),
            two("ga  gia", 2640, 2640, "testidifort/suonicg/gagia.txt", "ga", "gia"),
            two("go  gio", 2640, 3840, "testidifort/suonicg/gogio.txt", "go", "gio"),
            two("gu  giu", 2640, 5040, "testidifort/suonicg/gugiu.txt", "gu", "giu"),
            two("ce  cie", 5160, 240, "testidifort/suonicg/cecie.txt", "ce", "cie"),
            two("ge  gie", 5160, 1440, "testidifort/suonicg/gegie.txt", "ge", "gie"),
            two("chi  ghi", 5160, 2640, "testidifort/suonicg/chighi.txt", "chi", "ghi"),
            two("che  ghe", 5160, 3840, "testidifort/suonicg/cheghe.txt", "che", "ghe"),
            other("ripasso", 5160, 5040, "", Opens::Review),
            other("frasi", 7680, 240, "testidifort/suonicg/frasi.txt", Opens::Sentence),
            other("menu", 7680, 5040, "", Opens::Back),
        },
        {
            reviewFile("testidifort/suonicg/cacia.txt", "ca", "cia"),
            reviewFile("testidifort/suonicg/cecie.txt", "ce", "cie"),
            reviewFile("testidifort/suonicg/chece.txt", "che", "ce"),
            reviewFile("testidifort/suonicg/cheghe.txt", "che", "ghe"),
            reviewFile("testidifort/suonicg/chici.txt", "chi", "ci"),
            reviewFile("testidifort/suonicg/chighi.txt", "chi", "ghi"),
            reviewFile("testidifort/suonicg/cocio.txt", "co", "cio"),
            reviewFile("testidifort/suonicg/cuciu.txt", "cu", "ciu"),
            reviewFile("testidifort/suonicg/gagia.txt", "ga", "gia"),
            reviewFile("testidifort/suonicg/gogio.txt", "go", "gio"),
            reviewFile("testidifort/suonicg/gugiu.txt", "gu", "giu"),
            reviewFile("testidifort/suonicg/ghigi.txt", "ghi", "gi"),
            reviewFile("testidifort/suonicg/ghege.txt", "ghe", "ge"),
            reviewFile("testidifort/suonicg/gegie.txt", "ge", "gie"),
        }});

    menus.append({FormName::kGroupsMenu, QStringLiteral("Gruppi"), QStringLiteral("gruppi"),
        QStringLiteral("gruppi"), {10215, 6480},
        {
            other("gn", 120, 240, "testidifort/gruppi/gn.txt", Opens::FiveChoice),
            two("gn  ni", 120, 1440, "testidifort/gruppi/gnni.txt", "gn", "ni"),
            two("li  gli", 120, 2640, "testidifort/gruppi/ligli.txt", "li", "gli"),
            two("s  sc", 120, 3840, "testidifort/gruppi/scs.txt", "s", "sc"),
            two("sci  sce", 120, 5040, "testidifort/gruppi/scisce.txt", "sci", "sce"),
            two("scie  sce", 2640, 240, "testidifort/gruppi/sciesce.txt", "scie", "sce"),
            two("sca  scia", 2640, 1440, "testidifort/gruppi/scascia.txt", "sca", "scia"),
            two("sco  scio", 2640, 2640, "testidifort/gruppi/scoscio.txt", "sco", "scio"),
            two("scu  sciu", 2640, 3840, "testidifort/gruppi/scusciu.txt", "scu", "sciu"),
            two("schi sci", 2640, 5040, "testidifort/gruppi/schisci.txt", "schi", "sci"),
            two("sche sce", 5160, 240, "testidifort/gruppi/schesce.txt", "sche", "sce"),
            two("spr  sbr", 5160, 1440, "testidifort/gruppi/sprsbr.txt", "spr", "sbr"),
            two("scr  sgr", 5160, 2640, "testidifort/gruppi/scrsgr.txt", "scr", "sgr"),
            two("sdr  str", 5160, 3840, "testidifort/gruppi/sdrstr.txt", "sdr", "str"),
            other("ripasso", 5160, 5040, "", Opens::Review),
            other("frasi", 7680, 240, "testidifort/gruppi/frasi.txt", Opens::Sentence),
            other("menu", 7680, 5040, "", Opens::Back),
        },
        {
            reviewFile("testidifort/gruppi/sdrstr.txt", "sdr", "str"),
            reviewFile("testidifort/gruppi/scrsgr.txt", "scr", "sgr"),
            reviewFile("testidifort/gruppi/sprsbr.txt", "spr", "sbr"),
            reviewFile("testidifort/gruppi/gnni.txt", "gn", "ni"),
            reviewFile("testidifort/gruppi/ligli.txt", "li", "gli"),
            reviewFile("testidifort/gruppi/scs.txt", "sc", "s"),
            reviewFile("testidifort/gruppi/scisce.txt", "sci", "sce"),
            reviewFile("testidifort/gruppi/sciesce.txt", "scie", "sce"),
            reviewFile("testidifort/gruppi/scascia.txt", "sca", "scia"),
            reviewFile("testidifort/gruppi/scoscio.txt", "sco", "scio"),
            reviewFile("testidifort/gruppi/scusciu.txt", "scu", "sciu"),
            reviewFile("testidifort/gruppi/schisci.txt", "schi", "sci"),
            reviewFile("testidifort/gruppi/schesce.txt", "sche", "sce"),
        }});

    // The "s" button pairs the letter with the letter doubled, as every other
    // button of this menu does.
    menus.append({FormName::kDoublesMenu, QStringLiteral(" Doppie"), QStringLiteral("doppie"),
        QStringLiteral("doppie"), {10215, 6480},
        {
            two("b", 120, 240, "testidifort/doppie/b.txt", "b", "bb"),
            two("c", 120, 1440, "testidifort/doppie/c.txt", "c", "cc"),
            two("d", 120, 2640, "testidifort/doppie/d.txt", "d", "dd"),
            two("f", 120, 3840, "testidifort/doppie/f.txt", "f", "ff"),
            two("g", 120, 5040, "testidifort/doppie/g.txt", "g", "gg"),
            two("l", 2640, 240, "testidifort/doppie/l.txt", "l", "ll"),
            two("m", 2640, 1440, "testidifort/doppie/m.txt", "m", "mm"),
            two("n", 2640, 2640, "testidifort/doppie/n.txt", "n", "nn"),
            two("p", 2640, 3840, "testidifort/doppie/p.txt", "p", "pp"),
            two("r", 2640, 5040, "testidifort/doppie/r.txt", "r", "rr"),
            two("s", 5160, 240, "testidifort/doppie/s.txt", "s", "ss"),
            two("t", 5160, 1440, "testidifort/doppie/t.txt", "t", "tt"),
            two("v", 5160, 2640, "testidifort/doppie/v.txt", "v", "vv"),
            two("z", 5160, 3840, "testidifort/doppie/z.txt", "z", "zz"),
            other("ripasso", 5160, 5040, "", Opens::Review),
            other("frasi", 7680, 240, "testidifort/doppie/frasi.txt", Opens::Sentence),
            other("menu", 7680, 5040, "", Opens::Back),
        },
        {
            reviewFile("testidifort/doppie/b.txt", "b", "bb"),
            reviewFile("testidifort/doppie/c.txt", "c", "cc"),
            reviewFile("testidifort/doppie/d.txt", "d", "dd"),
            reviewFile("testidifort/doppie/f.txt", "f", "ff"),
            reviewFile("testidifort/doppie/g.txt", "g", "gg"),
            reviewFile("testidifort/doppie/l.txt", "l", "ll"),
            reviewFile("testidifort/doppie/m.txt", "m", "mm"),
            reviewFile("testidifort/doppie/n.txt", "n", "nn"),
            reviewFile("testidifort/doppie/p.txt", "p", "pp"),
            reviewFile("testidifort/doppie/r.txt", "r", "rr"),
            reviewFile("testidifort/doppie/s.txt", "s", "ss"),
            reviewFile("testidifort/doppie/t.txt", "t", "tt"),
            reviewFile("testidifort/doppie/v.txt", "v", "vv"),
            reviewFile("testidifort/doppie/z.txt", "z", "zz"),
        }});

    menus.append(
        {FormName::kCQMenu, QStringLiteral("c  q"), QStringLiteral("cq"), QStringLiteral("cq"), {8235, 4530},
            {
                two("c  q", 120, 240, "testidifort/cq/cq.txt", "c", "q"),
                two("qu   cqu", 120, 1560, "testidifort/cq/qcq.txt", "qu", "cqu"),
                two("cuo   quo", 120, 2880, "testidifort/cq/cuoquo.txt", "cuo", "quo"),
                two("cui   qui", 2760, 240, "testidifort/cq/cuiqui.txt", "cui", "qui"),
                other("ripasso", 2760, 1560, "", Opens::Review),
                other("frasi", 2760, 2880, "testidifort/cq/frasi.txt", Opens::Sentence),
                other("menu", 5400, 2880, "", Opens::Back),
            },
            {
                reviewFile("testidifort/cq/cq.txt", "c", "q"),
                reviewFile("testidifort/cq/qcq.txt", "qu", "cqu"),
                reviewFile("testidifort/cq/cuoquo.txt", "cuo", "quo"),
                reviewFile("testidifort/cq/cuiqui.txt", "cui", "qui"),
            }});

    // Every button here plays sentences; "ripasso" too, from its own file.
    menus.append({FormName::kAccentMenu, QStringLiteral("Accento"), QStringLiteral("accento"),
        QStringLiteral("accento"), {8520, 5130},
        {
            other("Accento?", 120, 240, "testidifort/accento/accento.txt", Opens::Sentence),
            other("e   è", 120, 1440, "testidifort/accento/e.txt", Opens::Sentence),
            other("là   lì", 120, 2640, "testidifort/accento/lali.txt", Opens::Sentence),
            other("si   sì", 120, 3840, "testidifort/accento/si.txt", Opens::Sentence),
            other("da  dà", 2760, 240, "testidifort/accento/da.txt", Opens::Sentence),
            other("di  dì", 2760, 1440, "testidifort/accento/di.txt", Opens::Sentence),
            other("se  sé", 2760, 2640, "testidifort/accento/se.txt", Opens::Sentence),
            other("ne  né", 2760, 3840, "testidifort/accento/ne.txt", Opens::Sentence),
            other("ripasso", 5400, 240, "testidifort/accento/frasi.txt", Opens::Sentence),
            other("menù", 5400, 3840, "", Opens::Back),
        },
        {}});

    menus.append({FormName::kApostropheMenu, QStringLiteral("Apostrofo"), QStringLiteral("apostrofo"),
        QStringLiteral("apostrofo"), {8055, 4140},
        {
            other("lo  la  l'", 120, 240, "testidifort/apostrofo/lolal.txt", Opens::ThreeChoice),
            two("un  un'", 120, 1440, "testidifort/apostrofo/un.txt", "un", "un'"),
            other("preposizioni", 120, 2640, "testidifort/apostrofo/preposizioni.txt", Opens::Sentence),
            other("frasi", 2760, 240, "testidifort/apostrofo/frasi.txt", Opens::Sentence),
            other("menu", 5400, 2640, "", Opens::Back),
        },
        {}});

    menus.append(
        {FormName::kHMenu, QStringLiteral("Uso  h"), QStringLiteral("h"), QStringLiteral("h"), {8250, 4215},
            {
                two("a  ha", 120, 240, "testidifort/h/aha.txt", "a", "ha"),
                two("ai  hai", 120, 1440, "testidifort/h/aihai.txt", "ai", "hai"),
                two("o  ho", 120, 2640, "testidifort/h/oho.txt", "o", "ho"),
                two("anno  hanno", 2760, 240, "testidifort/h/annohanno.txt", "anno", "hanno"),
                other("ripasso", 2760, 1440, "", Opens::Review),
                other("frasi", 2760, 2640, "testidifort/h/frasi.txt", Opens::Sentence),
                other("menu", 5400, 2640, "", Opens::Back),
            },
            {
                reviewFile("testidifort/h/aha.txt", "a", "ha"),
                reviewFile("testidifort/h/aihai.txt", "ai", "hai"),
                reviewFile("testidifort/h/oho.txt", "o", "ho"),
                reviewFile("testidifort/h/annohanno.txt", "anno", "hanno"),
            }});

    return menus;
}

} // namespace

const QList<TopicMenu> &topicMenus()
{
    static const QList<TopicMenu> menus = buildCatalogue();
    return menus;
}

const TopicMenu *menuByFormName(const QString &formName)
{
    for (const TopicMenu &menu : topicMenus()) {
        if (menu.formName == formName)
            return &menu;
    }
    return nullptr;
}

const TopicMenu *menuByMarker(const QString &marker)
{
    for (const TopicMenu &menu : topicMenus()) {
        if (menu.marker == marker)
            return &menu;
    }
    return nullptr;
}

QList<Pair> pairsOf(const TopicMenu &menu)
{
    QList<Pair> pairs;
    for (const Button &button : menu.buttons) {
        const Pair pair{button.choiceA, button.choiceB};
        if (button.opens == Opens::TwoChoice && !pairs.contains(pair))
            pairs << pair;
    }
    return pairs;
}

QPoint myListsPosition(const TopicMenu &menu)
{
    // The row step of the menu: the least distance between two rows.
    int step = 0;
    for (const Button &a : menu.buttons) {
        for (const Button &b : menu.buttons) {
            const int apart = b.position.y() - a.position.y();
            if (apart > 0 && (step == 0 || apart < step))
                step = apart;
        }
    }
    return menu.buttons[menu.backIndex()].position - QPoint(0, step);
}

QString formNameFor(Opens opens)
{
    using Kind = ExerciseWindow::Kind;
    switch (opens) {
    case Opens::TwoChoice:
        return ExerciseWindow::formNameFor(Kind::Words);
    case Opens::Sentence:
        return ExerciseWindow::formNameFor(Kind::Sentences);
    case Opens::ThreeChoice:
        return ExerciseWindow::formNameFor(Kind::Articles);
    case Opens::FiveChoice:
        return ExerciseWindow::formNameFor(Kind::Syllables);
    case Opens::Review:
        return ExerciseWindow::formNameFor(Kind::Review);
    case Opens::Back:
        return FormName::kMainMenu;
    }
    return {};
}

} // namespace Catalogue
