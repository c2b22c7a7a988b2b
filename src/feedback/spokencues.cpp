#include "spokencues.h"

#include <QHash>

namespace {

struct Cue
{
    const char16_t *spelling;
    const char16_t *cue;
};

// Every spelling the buttons of an exercise offer, with what sets it apart
// from the spellings shown beside it. The data tests hold every word list
// and sentence list to this table and to kSaidAsWritten: a spelling missing
// from both, or two choices shown together that the engine says alike,
// fails them.
constexpr Cue kCues[] = {
    // Letters and groups of letters, by the names of their letters.
    {u"b", u"bi"},
    {u"bb", u"doppia bi"},
    {u"c", u"ci"},
    {u"cc", u"doppia ci"},
    {u"d", u"di"},
    {u"dd", u"doppia di"},
    {u"f", u"una effe"},
    {u"ff", u"doppia effe"},
    {u"g", u"gi"},
    {u"gg", u"doppia gi"},
    {u"l", u"una elle"},
    {u"ll", u"doppia elle"},
    {u"m", u"una emme"},
    {u"mm", u"doppia emme"},
    {u"n", u"una enne"},
    {u"nn", u"doppia enne"},
    {u"p", u"pi"},
    {u"pp", u"doppia pi"},
    {u"q", u"qu"},
    {u"r", u"una erre"},
    {u"rr", u"doppia erre"},
    {u"s", u"una esse"},
    {u"ss", u"doppia esse"},
    {u"t", u"ti"},
    {u"tt", u"doppia ti"},
    {u"v", u"vu"},
    {u"vv", u"doppia vu"},
    {u"z", u"una zeta"},
    {u"zz", u"doppia zeta"},
    {u"mp", u"emme pi"},
    {u"mb", u"emme bi"},
    {u"sc", u"esse ci"},
    {u"gn", u"gi enne"},
    {u"ni", u"enne i"},
    {u"gli", u"gi elle i"},
    {u"cqu", u"ci qu"},
    {u"sbr", u"esse bi erre"},
    {u"spr", u"esse pi erre"},
    {u"scr", u"esse ci erre"},
    {u"sgr", u"esse gi erre"},
    {u"sdr", u"esse di erre"},
    {u"str", u"esse ti erre"},
    // Said alike, written with c or with q.
    {u"cuo", u"cuo, con la ci"},
    {u"quo", u"quo, con la qu"},
    // With or without the h.
    {u"a", u"a, senza acca"},
    {u"ha", u"ha, con l'acca"},
    {u"ai", u"ai, senza acca"},
    {u"hai", u"hai, con l'acca"},
    {u"o", u"o, senza acca"},
    {u"ho", u"ho, con l'acca"},
    {u"anno", u"anno, senza acca"},
    {u"hanno", u"hanno, con l'acca"},
    // With or without the accent.
    {u"à", u"à, con l'accento"},
    {u"blu", u"blu, senza accento"},
    {u"blù", u"blù, con l'accento"},
    {u"caffe", u"caffe, senza accento"},
    {u"caffè", u"caffè, con l'accento"},
    {u"citta", u"citta, senza accento"},
    {u"città", u"città, con l'accento"},
    {u"cosi", u"cosi, senza accento"},
    {u"così", u"così, con l'accento"},
    {u"eta", u"eta, senza accento"},
    {u"età", u"età, con l'accento"},
    {u"falo", u"falo, senza accento"},
    {u"falò", u"falò, con l'accento"},
    {u"fa", u"fa, senza accento"},
    {u"fà", u"fà, con l'accento"},
    {u"fu", u"fu, senza accento"},
    {u"fù", u"fù, con l'accento"},
    {u"giu", u"giu, senza accento"},
    {u"giù", u"giù, con l'accento"},
    {u"gia", u"gia, senza accento"},
    {u"già", u"già, con l'accento"},
    {u"lassu", u"lassu, senza accento"},
    {u"lassù", u"lassù, con l'accento"},
    {u"liberta", u"liberta, senza accento"},
    {u"libertà", u"libertà, con l'accento"},
    {u"lunedi", u"lunedi, senza accento"},
    {u"lunedì", u"lunedì, con l'accento"},
    {u"meta", u"meta, senza accento"},
    {u"metà", u"metà, con l'accento"},
    {u"me", u"me, senza accento"},
    {u"mè", u"mè, con l'accento"},
    {u"oblo", u"oblo, senza accento"},
    {u"oblò", u"oblò, con l'accento"},
    {u"papa", u"papa, senza accento"},
    {u"papà", u"papà, con l'accento"},
    {u"perche", u"perche, senza accento"},
    {u"perché", u"perché, con l'accento acuto"},
    {u"perchè", u"perchè, con l'accento grave"},
    {u"poiché", u"poiché, con l'accento acuto"},
    {u"poichè", u"poichè, con l'accento grave"},
    {u"percio", u"percio, senza accento"},
    {u"perciò", u"perciò, con l'accento"},
    {u"pero", u"pero, senza accento"},
    {u"però", u"però, con l'accento"},
    {u"piu", u"piu, senza accento"},
    {u"più", u"più, con l'accento"},
    {u"puo", u"puo, senza accento"},
    {u"può", u"può, con l'accento"},
    {u"qui", u"qui, senza accento"},
    {u"quì", u"quì, con l'accento"},
    {u"qua", u"qua, senza accento"},
    {u"quà", u"quà, con l'accento"},
    {u"re", u"re, senza accento"},
    {u"rè", u"rè, con l'accento"},
    {u"sa", u"sa, senza accento"},
    {u"sà", u"sà, con l'accento"},
    {u"so", u"so, senza accento"},
    {u"sò", u"sò, con l'accento"},
    {u"sta", u"sta, senza accento"},
    {u"stà", u"stà, con l'accento"},
    {u"sto", u"sto, senza accento"},
    {u"stò", u"stò, con l'accento"},
    {u"su", u"su, senza accento"},
    {u"sù", u"sù, con l'accento"},
    {u"te", u"te, senza accento"},
    {u"tè", u"tè, con l'accento"},
    {u"tre", u"tre, senza accento"},
    {u"trè", u"trè, con l'accento"},
    {u"tu", u"tu, senza accento"},
    {u"tù", u"tù, con l'accento"},
    {u"va", u"va, senza accento"},
    {u"và", u"và, con l'accento"},
    {u"venerdi", u"venerdi, senza accento"},
    {u"venerdì", u"venerdì, con l'accento"},
    {u"ventitre", u"ventitre, senza accento"},
    {u"ventitré", u"ventitré, con l'accento acuto"},
    {u"ventitrè", u"ventitrè, con l'accento grave"},
    {u"da", u"da, senza accento"},
    {u"dà", u"dà, con l'accento"},
    {u"di", u"di, senza accento"},
    {u"dì", u"dì, con l'accento"},
    {u"e", u"e, senza accento"},
    {u"è", u"è, con l'accento grave"},
    {u"é", u"é, con l'accento acuto"},
    {u"e'", u"e, con l'apostrofo"},
    {u"la", u"la, senza accento"},
    {u"là", u"là, con l'accento"},
    {u"li", u"li, senza accento"},
    {u"lì", u"lì, con l'accento"},
    {u"ne", u"ne, senza accento"},
    {u"né", u"né, con l'accento acuto"},
    {u"nè", u"nè, con l'accento grave"},
    {u"se", u"se, senza accento"},
    {u"sé", u"sé, con l'accento acuto"},
    {u"sè", u"sè, con l'accento grave"},
    {u"si", u"si, senza accento"},
    {u"sì", u"sì, con l'accento"},
    {u"martedi", u"martedi, senza accento"},
    {u"martedì", u"martedì, con l'accento"},
    // With or without the apostrophe.
    {u"l'", u"elle apostrofo"},
    {u"un'", u"un, con l'apostrofo"},
    {u"un", u"un, senza apostrofo"},
    {u"all'", u"all, con l'apostrofo"},
    {u"dall'", u"dall, con l'apostrofo"},
    {u"dell'", u"dell, con l'apostrofo"},
    {u"nell'", u"nell, con l'apostrofo"},
    {u"sull'", u"sull, con l'apostrofo"},
    {u"c'è", u"c'è, con l'apostrofo"},
    {u"po'", u"po, con l'apostrofo"},
    {u"pò", u"pò, con l'accento"},
    {u"qual è", u"qual è, senza apostrofo"},
    {u"qual'è", u"qual è, con l'apostrofo"},
    {u"quest'", u"quest, con l'apostrofo"},
    // With or without the i.
    {u"ce", u"ce, senza la i"},
    {u"cie", u"cie, con la i"},
    {u"ge", u"ge, senza la i"},
    {u"gie", u"gie, con la i"},
    {u"sce", u"sce, senza la i"},
    {u"scie", u"scie, con la i"},
    {u"scena", u"scena, senza la i"},
    {u"sciena", u"sciena, con la i"},
    {u"scenze", u"scenze, senza la i"},
    {u"scienze", u"scienze, con la i"},
    {u"arance", u"arance, senza la i"},
    {u"arancie", u"arancie, con la i"},
    {u"bucce", u"bucce, senza la i"},
    {u"buccie", u"buccie, con la i"},
    {u"camice", u"camice, senza la i"},
    {u"camicie", u"camicie, con la i"},
    {u"ceca", u"ceca, senza la i"},
    {u"cieca", u"cieca, con la i"},
    {u"celo", u"celo, senza la i"},
    {u"cielo", u"cielo, con la i"},
    {u"grattacelo", u"grattacelo, senza la i"},
    {u"grattacielo", u"grattacielo, con la i"},
    {u"igene", u"igene, senza la i"},
    {u"igiene", u"igiene, con la i"},
    {u"piogge", u"piogge, senza la i"},
    {u"pioggie", u"pioggie, con la i"},
    {u"trecce", u"trecce, senza la i"},
    {u"treccie", u"treccie, con la i"},
};

// Spellings whose own sound sets them apart from every spelling shown
// beside them: said as they are written.
constexpr const char16_t *kSaidAsWritten[] = {
    // A group of letters, by the name of its letter.
    u"qu",
    // Syllables.
    u"ca", u"cia", u"co", u"cio", u"cu", u"ciu", u"chi", u"ci", u"che", u"ga", u"go", u"gio", u"gu", u"ghi",
    u"gi", u"ghe", u"gna", u"gne", u"gni", u"gno", u"gnu", u"sca", u"scia", u"sco", u"scio", u"scu", u"sciu",
    u"sci", u"schi", u"sche", u"cui",
    // Beside their elided forms, which are said with the apostrophe.
    u"lo", u"alla", u"allo", u"dalla", u"dallo", u"della", u"dello", u"nella", u"nello", u"sulla", u"sullo",
    u"questo",
    // Words of the sentence lists.
    u"asciugamano", u"ascugamano", u"bacio", u"baco", u"bela", u"bella", u"bicchiere", u"bicciere", u"bocca",
    u"bocce", u"bocche", u"boccia", u"bottiglia", u"bottilia", u"braccio", u"bracco", u"calcio", u"calco",
    u"camino", u"cammino", u"cane", u"canne", u"capelli", u"capello", u"cappelli", u"cappello", u"caro",
    u"carro", u"casa", u"casetta", u"cassa", u"cassetta", u"castagne", u"castanie", u"cena", u"chena",
    u"cicogna", u"ciconia", u"cigno", u"cinio", u"cioccolata", u"coccolata", u"coniglio", u"conilio",
    u"copia", u"coppia", u"coro", u"corro", u"crignera", u"criniera", u"cuocio", u"cuoco", u"dita", u"ditta",
    u"ecco", u"eco", u"fata", u"fato", u"fatta", u"fatto", u"foce", u"foche", u"foglia", u"folia", u"funghi",
    u"fungi", u"gallina", u"gallo", u"gepardo", u"ghepardo", u"ghiaccio", u"ghiande", u"ghiardino",
    u"ghirlanda", u"ghiro", u"giaccio", u"giallina", u"giallo", u"giande", u"giardino", u"giomitolo",
    u"girlanda", u"giro", u"giusto", u"gnente", u"gomitolo", u"guscio", u"gusco", u"gusto", u"lavagna",
    u"lavania", u"manca", u"mancia", u"marca", u"marcia", u"mascera", u"maschera", u"montagna", u"montania",
    u"moto", u"motto", u"niente", u"nona", u"nonna", u"nonno", u"nono", u"note", u"notte", u"oglio", u"olio",
    u"pala", u"palla", u"panca", u"pancia", u"pappa", u"pena", u"penna", u"pesce", u"pesche", u"pesci",
    u"pesi", u"pighiama", u"pigiama", u"piscina", u"pisina", u"prosciutto", u"proscutto", u"ragno", u"ranio",
    u"rete", u"rette", u"riccio", u"ricco", u"rosa", u"rossa", u"sala", u"sanno", u"sano", u"sbreme",
    u"sbriciola", u"sbrighi", u"scala", u"scare", u"scarpa", u"sceatore", u"sceroppo", u"scerzo", u"scherzo",
    u"schiena", u"sciare", u"sciarpa", u"sciatore", u"scimmia", u"sciodinzola", u"sciogliere", u"scioiattolo",
    u"sciroppo", u"sciudo", u"scodinzola", u"scogliere", u"scoiattolo", u"scrida", u"scrivo", u"scudo",
    u"scuola", u"sdrada", u"sdraio", u"sera", u"serra", u"sete", u"sette", u"sgrida", u"sgrivo", u"simmia",
    u"sogno", u"sonio", u"sonno", u"sono", u"spala", u"spalla", u"speso", u"spesso", u"spreme", u"spriciola",
    u"sprighi", u"strada", u"straio", u"suola", u"tartaruga", u"tartarugia", u"tonno", u"tono", u"tovaglia",
    u"tovalia", u"tuffo", u"tufo", u"tuta", u"tutta"};

const QHash<QString, QString> &table()
{
    static const QHash<QString, QString> cues = [] {
        QHash<QString, QString> all;
        for (const Cue &entry : kCues)
            all.insert(QString::fromUtf16(entry.spelling), QString::fromUtf16(entry.cue));
        for (const char16_t *spelling : kSaidAsWritten)
            all.insert(QString::fromUtf16(spelling), QString::fromUtf16(spelling));
        return all;
    }();
    return cues;
}

QString key(const QString &caption)
{
    return caption.simplified().toLower();
}

} // namespace

QString SpokenCues::cueFor(const QString &caption)
{
    return table().value(key(caption), caption);
}

bool SpokenCues::hasCue(const QString &spelling)
{
    return table().contains(key(spelling));
}
