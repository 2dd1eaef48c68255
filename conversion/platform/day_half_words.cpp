// The AM and PM words of every language, from Unicode CLDR 42 as ICU 72.1 carries it. Written
// by scripts/make-day-halves.sh, which tells how: change that, not this file.
//
// Left out of the UTF-8 words for meaning AM and PM alike: ip. (AM and PM).
// Left out of the 8-bit words for meaning AM and PM alike: ip. 1252 (AM and PM).
// Left out for what a Time field holds besides: UT (PM).

#include <array>

#include "regional_dates.h"

namespace conversion::platform {

namespace {

// clang-format off
constexpr std::array<DayHalfWord, 341> kUtf8Words = {{
    DayHalfWord{"A.M.", false, true},
    DayHalfWord{"AM", false, true},
    DayHalfWord{"AN", false, true},
    DayHalfWord{"Adduha", false, true},
    DayHalfWord{"Aluula", true, true},
    DayHalfWord{"a.", false, true},
    DayHalfWord{"a. m.", false, true},
    DayHalfWord{"a.g", false, true},
    DayHalfWord{"a.k", true, true},
    DayHalfWord{"akasuba", true, true},
    DayHalfWord{"am Namittag", true, true},
    DayHalfWord{"am Vormittag", false, true},
    DayHalfWord{"ap.", false, true},
    DayHalfWord{"atm", false, true},
    DayHalfWord{"BN", false, true},
    DayHalfWord{"CH", true, true},
    DayHalfWord{"Chilo", true, true},
    DayHalfWord{"C\xC6\x90\xC6\x90\xCC\x81NKO", true, true},  // CƐƐ́NKO
    DayHalfWord{"comme", false, true},
    DayHalfWord{"c\xC9\x9B\xC9\x9B\xCC\x81nko", true, true},  // cɛɛ́nko
    DayHalfWord{"DA MANH\xC3\x83", false, true},  // DA MANHÃ
    DayHalfWord{"DE LA MA\xC3\x91" "ANA", false, true},  // DE LA MAÑANA
    DayHalfWord{"DOPO\xC5\x81" "DNJA", false, true},  // DOPOŁDNJA
    DayHalfWord{"Dilolo", true, true},
    DayHalfWord{"Dinda", false, true},
    DayHalfWord{"da manh\xC3\xA3", false, true},  // da manhã
    DayHalfWord{"da tarde", true, true},
    DayHalfWord{"de la ma\xC3\xB1" "ana", false, true},  // de la mañana
    DayHalfWord{"de la tarde", true, true},
    DayHalfWord{"de.", false, true},
    DayHalfWord{"dop.", false, true},
    DayHalfWord{"dopo\xC5\x82" "dnja", false, true},  // dopołdnja
    DayHalfWord{"du.", true, true},
    DayHalfWord{"EBY\xC3\x81MU", true, true},  // EBYÁMU
    DayHalfWord{"EW", true, true},
    DayHalfWord{"Ebongi", true, true},
    DayHalfWord{"Eigulo", true, true},
    DayHalfWord{"e paradites", false, true},
    DayHalfWord{"e pasdites", true, true},
    DayHalfWord{"e.h.", true, true},
    DayHalfWord{"eahketbeaivet", true, true},
    DayHalfWord{"eb", true, true},
    DayHalfWord{"eby\xC3\xA1mu", true, true},  // ebyámu
    DayHalfWord{"efiafi", true, true},
    DayHalfWord{"em", true, true},
    DayHalfWord{"ep.", true, true},
    DayHalfWord{"F\xE1\xBB\x8C M\xE1\xBB\x8C\xCC\x81NIN", false, true},  // FỌ MỌ́NIN
    DayHalfWord{"F\xE1\xBB\x8C \xC3\x8DVNIN", true, true},  // FỌ ÍVNIN
    DayHalfWord{"F\xE1\xBB\x8D m\xE1\xBB\x8D\xCC\x81nin", false, true},  // Fọ mọ́nin, fọ mọ́nin
    DayHalfWord{"F\xE1\xBB\x8D \xC3\xADvnin", true, true},  // Fọ ívnin, fọ ívnin
    DayHalfWord{"f", true, true},
    DayHalfWord{"f.h.", false, true},
    DayHalfWord{"fm", false, true},
    DayHalfWord{"G.M.", true, true},
    DayHalfWord{"GD", true, true},
    DayHalfWord{"GH", false, true},
    DayHalfWord{"G\xC3\x9CNORTADAN SO\xC5\x87", true, true},  // GÜNORTADAN SOŇ
    DayHalfWord{"G\xC3\x9CNORTADAN \xC3\x96\xC5\x87", false, true},  // GÜNORTADAN ÖŇ
    DayHalfWord{"g\xC3\xBCnortadan so\xC5\x88", true, true},  // günortadan soň
    DayHalfWord{"g\xC3\xBCnortadan \xC3\xB6\xC5\x88", false, true},  // günortadan öň
    DayHalfWord{"HWA\xC4\xA8-IN\xC4\xA8", true, true},  // HWAĨ-INĨ
    DayHalfWord{"Hwa\xC4\xA9-in\xC4\xA9", true, true},  // Hwaĩ-inĩ, hwaĩ-inĩ
    DayHalfWord{"hengihengi", false, true},
    DayHalfWord{"I BIK\xC6\x90\xCC\x82GL\xC3\x80", false, true},  // I BIKƐ̂GLÀ
    DayHalfWord{"I bik\xC9\x9B\xCC\x82gl\xC3\xA0", false, true},  // I bikɛ̂glà, i bikɛ̂glà
    DayHalfWord{"I \xC6\x81UGAJ\xC6\x86P", true, true},  // I ƁUGAJƆP
    DayHalfWord{"I \xC9\x93ugaj\xC9\x94p", true, true},  // I ɓugajɔp, i ɓugajɔp
    DayHalfWord{"IDI\xC6\x81" "A", false, true},  // IDIƁA
    DayHalfWord{"Isuk", false, true},
    DayHalfWord{"I\xC4\x90ITBEAIVET", false, true},  // IĐITBEAIVET
    DayHalfWord{"i.n.", true, true},
    DayHalfWord{"ib", false, true},
    DayHalfWord{"ichamthi", true, true},
    DayHalfWord{"icheheavo", false, true},
    DayHalfWord{"idi\xC9\x93" "a", false, true},  // idiɓa
    DayHalfWord{"i\xC4\x91itbeaivet", false, true},  // iđitbeaivet
    DayHalfWord{"KI", false, true},
    DayHalfWord{"KIKII\xC6\x8A" "E", true, true},  // KIKIIƊE
    DayHalfWord{"KIS\xC6\x90\xCC\x81ND\xC6\x90", true, true},  // KISƐ́NDƐ
    DayHalfWord{"KI\xC6\x90M\xC6\x90\xCC\x81\xC6\x90M", false, true},  // KIƐMƐ́ƐM
    DayHalfWord{"KUG\xC3\x9A", true, true},  // KUGÚ
    DayHalfWord{"Kiroko", false, true},
    DayHalfWord{"K\xC3\x8DK\xC3\x8DR\xC3\x8DG", false, true},  // KÍKÍRÍG
    DayHalfWord{"kang\xE2\x80\x99" "ama", false, true},  // KANG’AMA, kang’ama
    DayHalfWord{"karoon", false, true},
    DayHalfWord{"kikii\xC9\x97" "e", true, true},  // kikiiɗe
    DayHalfWord{"kingoto", true, true},
    DayHalfWord{"kis\xC9\x9B\xCC\x81nd\xC9\x9B", true, true},  // kisɛ́ndɛ
    DayHalfWord{"ki\xC9\x9Bm\xC9\x9B\xCC\x81\xC9\x9Bm", false, true},  // kiɛmɛ́ɛm
    DayHalfWord{"kooskoliny", true, true},
    DayHalfWord{"kug\xC3\xBA", true, true},  // kugú
    DayHalfWord{"kyiukonyi", true, true},
    DayHalfWord{"k\xC3\xADk\xC3\xADr\xC3\xADg", false, true},  // kíkíríg
    DayHalfWord{"LK", true, true},
    DayHalfWord{"Luma lwa K", false, true},
    DayHalfWord{"Lwamilawu", false, true},
    DayHalfWord{"lilli", true, true},
    DayHalfWord{"luma lwa p", true, true},
    DayHalfWord{"MAN\xC3\x81", false, true},  // MANÁ
    DayHalfWord{"MBA\xCA\xBC\xC3\x81MBA\xCA\xBC", false, true},  // MBAʼÁMBAʼ
    DayHalfWord{"MBA\xEA\x9E\x8BMBA\xEA\x9E\x8B", false, true},  // MBAꞋMBAꞋ
    DayHalfWord{"MP\xC3\x93KWA", true, true},  // MPÓKWA
    DayHalfWord{"MUU", true, true},
    DayHalfWord{"Mambia", false, true},
    DayHalfWord{"Mog", true, true},
    DayHalfWord{"Muhi", false, true},
    DayHalfWord{"Munkyo", false, true},
    DayHalfWord{"m", false, true},
    DayHalfWord{"makeo", false, true},
    DayHalfWord{"man\xC3\xA1", false, true},  // maná
    DayHalfWord{"matin", false, true},
    DayHalfWord{"mba\xCA\xBC\xC3\xA1mba\xCA\xBC", false, true},  // mbaʼámbaʼ
    DayHalfWord{"mba\xEA\x9E\x8Cmba\xEA\x9E\x8C", false, true},  // mbaꞌmbaꞌ
    DayHalfWord{"mchochil\xE2\x80\x99l", true, true},  // MCHOCHIL’L, mchochil’l
    DayHalfWord{"moies", false, true},
    DayHalfWord{"mp\xC3\xB3kwa", true, true},  // mpókwa
    DayHalfWord{"NCW\xC3\x92NZ\xC3\x89M", true, true},  // NCWÒNZÉM
    DayHalfWord{"ND", false, true},
    DayHalfWord{"NG\xC6\x8FG\xC3\x93G\xC6\x8FLE", true, true},  // NGƏGÓGƏLE
    DayHalfWord{"NOM\xC3\x8BTTES", true, true},  // NOMËTTES
    DayHalfWord{"NT\xC6\x86\xCC\x81NG\xC6\x86\xCC\x81", false, true},  // NTƆ́NGƆ́
    DayHalfWord{"Ngo", true, true},
    DayHalfWord{"N\xE2\x80\x99" "abali", true, true},  // N’ABALI, N’abali, n’abali
    DayHalfWord{"N\xE2\x80\x99\xE1\xBB\xA4T\xE1\xBB\xA4T\xE1\xBB\xA4", false, true},  // N’ỤTỤTỤ
    DayHalfWord{"N\xE2\x80\x99\xE1\xBB\xA5t\xE1\xBB\xA5t\xE1\xBB\xA5", false, true},  // N’ụtụtụ, n’ụtụtụ
    DayHalfWord{"n tmeddit", true, true},
    DayHalfWord{"n tufat", false, true},
    DayHalfWord{"ncw\xC3\xB2nz\xC3\xA9m", true, true},  // ncwònzém
    DayHalfWord{"ng\xC9\x99g\xC3\xB3g\xC9\x99le", true, true},  // ngəgógəle
    DayHalfWord{"nm.", true, true},
    DayHalfWord{"nom\xC3\xABttes", true, true},  // nomëttes
    DayHalfWord{"nt\xC9\x94\xCC\x81ng\xC9\x94\xCC\x81", false, true},  // ntɔ́ngɔ́
    DayHalfWord{"nyiaghuo", true, true},
    DayHalfWord{"OD", false, true},
    DayHalfWord{"OT", true, true},
    DayHalfWord{"odp.", true, true},
    DayHalfWord{"PG", false, true},
    DayHalfWord{"PM", true, true},
    DayHalfWord{"PN", true, true},
    DayHalfWord{"POPO\xC5\x81" "DNJU", true, true},  // POPOŁDNJU
    DayHalfWord{"PRIEK\xC5\xA0PUSDIEN\xC4\x80", false, true},  // PRIEKŠPUSDIENĀ
    DayHalfWord{"PRIE\xC5\xA0PIET", false, true},  // PRIEŠPIET
    DayHalfWord{"PTG", true, true},
    DayHalfWord{"Pashamihe", true, true},
    DayHalfWord{"P\xC4\x92" "CPUSDIEN\xC4\x80", true, true},  // PĒCPUSDIENĀ
    DayHalfWord{"p.", true, true},
    DayHalfWord{"p. m.", true, true},
    DayHalfWord{"p.m.", true, true},
    DayHalfWord{"pamilau", false, true},
    DayHalfWord{"pamunyi", true, true},
    DayHalfWord{"po podne", true, true},
    DayHalfWord{"pop.", true, true},
    DayHalfWord{"popiet", true, true},
    DayHalfWord{"popodne", true, true},
    DayHalfWord{"popo\xC5\x82" "dnju", true, true},  // popołdnju
    DayHalfWord{"priek\xC5\xA1pusdien\xC4\x81", false, true},  // priekšpusdienā
    DayHalfWord{"prie\xC5\xA1piet", false, true},  // priešpiet
    DayHalfWord{"prije podne", false, true},
    DayHalfWord{"prijepodne", false, true},
    DayHalfWord{"ptm", true, true},
    DayHalfWord{"p\xC4\x93" "cpusdien\xC4\x81", true, true},  // pēcpusdienā
    DayHalfWord{"RW", false, true},
    DayHalfWord{"R\xC5\xA8", false, true},  // RŨ
    DayHalfWord{"r.n.", false, true},
    DayHalfWord{"r\xC5\xA9", false, true},  // rũ
    DayHalfWord{"SA", false, true},
    DayHalfWord{"Safiya", false, true},
    DayHalfWord{"Sub", false, true},
    DayHalfWord{"Subbaahi", false, true},
    DayHalfWord{"S\xC3\x81R\xC3\x9AW\xC3\x81", false, true},  // SÁRÚWÁ
    DayHalfWord{"soir", true, true},
    DayHalfWord{"subaka", false, true},
    DayHalfWord{"s\xC3\xA1r\xC3\xBAw\xC3\xA1", false, true},  // sárúwá
    DayHalfWord{"TK", true, true},
    DayHalfWord{"TO", false, true},
    DayHalfWord{"TOO", false, true},
    DayHalfWord{"Taparachu", false, true},
    DayHalfWord{"Teipa", true, true},
    DayHalfWord{"Tesiran", false, true},
    DayHalfWord{"T\xC5\x8A", true, true},  // TŊ
    DayHalfWord{"tadgg\xCA\xB7" "at", true, true},  // TADGGʷAT, tadggʷat
    DayHalfWord{"tifawt", false, true},
    DayHalfWord{"t\xC5\x8B", true, true},  // tŋ
    DayHalfWord{"UHR V\xC3\x96RMIDDAACHS", false, true},  // UHR VÖRMIDDAACHS
    DayHalfWord{"Uhr nommendaachs", true, true},
    DayHalfWord{"Uhr v\xC3\xB6rmiddaachs", false, true},  // Uhr vörmiddaachs, uhr vörmiddaachs
    DayHalfWord{"uluchelo", false, true},
    DayHalfWord{"utuko", false, true},
    DayHalfWord{"vm.", false, true},
    DayHalfWord{"WB", true, true},
    DayHalfWord{"WD", false, true},
    DayHalfWord{"Wengi", true, true},
    DayHalfWord{"W\xC3\x93TPO\xC5\x81" "DNJA", true, true},  // WÓTPOŁDNJA
    DayHalfWord{"wichishu", false, true},
    DayHalfWord{"w\xC3\xB3tpo\xC5\x82" "dnja", true, true},  // wótpołdnja
    DayHalfWord{"Yamma", true, true},
    DayHalfWord{"yb", false, true},
    DayHalfWord{"yh", true, true},
    DayHalfWord{"Z.MU.", false, true},
    DayHalfWord{"Z.MW.", true, true},
    DayHalfWord{"Zaarikay b", true, true},
    DayHalfWord{"Zdat azal", false, true},
    DayHalfWord{"\xC3\x80\xC3\x81R\xC6\x86\xCC\x80", false, true},  // ÀÁRƆ̀
    DayHalfWord{"\xC3\x80\xC3\x81R\xE1\xBB\x8C\xCC\x80", false, true},  // ÀÁRỌ̀
    DayHalfWord{"\xC3\x80\xC3\xA1r\xC9\x94\xCC\x80", false, true},  // Àárɔ̀
    DayHalfWord{"\xC3\x80\xC3\xA1r\xE1\xBB\x8D\xCC\x80", false, true},  // Àárọ̀
    DayHalfWord{"\xC3\x96S", true, true},  // ÖS
    DayHalfWord{"\xC3\x96\xC3\x96", false, true},  // ÖÖ
    DayHalfWord{"\xC3\xA0\xC3\xA1r\xC9\x94\xCC\x80", false, true},  // àárɔ̀
    DayHalfWord{"\xC3\xA0\xC3\xA1r\xE1\xBB\x8D\xCC\x80", false, true},  // àárọ̀
    DayHalfWord{"\xC3\xB6s", true, true},  // ös
    DayHalfWord{"\xC3\xB6\xC3\xB6", false, true},  // öö
    DayHalfWord{"\xC4\xA8YAW\xC4\xA8OO", true, true},  // ĨYAWĨOO
    DayHalfWord{"\xC4\xA8yakwakya", false, true},  // ĨYAKWAKYA, Ĩyakwakya
    DayHalfWord{"\xC4\xA8yaw\xC4\xA9oo", true, true},  // Ĩyawĩoo
    DayHalfWord{"\xC4\xA9yakwakya", false, true},  // ĩyakwakya
    DayHalfWord{"\xC4\xA9yaw\xC4\xA9oo", true, true},  // ĩyawĩoo
    DayHalfWord{"\xC5\x8A" "DI", false, true},  // ŊDI
    DayHalfWord{"\xC5\x8AKA MB\xC6\x86\xCC\x81T NJI", true, true},  // ŊKA MBƆ́T NJI
    DayHalfWord{"\xC5\x8B" "di", false, true},  // ŋdi
    DayHalfWord{"\xC5\x8Bka mb\xC9\x94\xCC\x81t nji", true, true},  // ŋka mbɔ́t nji
    DayHalfWord{"\xC5\xA8G", true, true},  // ŨG
    DayHalfWord{"\xC5\xA9g", true, true},  // ũg
    DayHalfWord{"\xC6\x86\xCC\x80S\xC3\x81N", true, true},  // Ɔ̀SÁN
    DayHalfWord{"\xC6\x86\xCC\x80s\xC3\xA1n", true, true},  // Ɔ̀sán
    DayHalfWord{"\xC6\x90ND\xC3\x81M\xC3\x82", true, true},  // ƐNDÁMÂ
    DayHalfWord{"\xC6\x90NKAK\xC6\x90NY\xC3\x81", false, true},  // ƐNKAKƐNYÁ
    DayHalfWord{"\xC6\x90nd\xC3\xA1m\xC3\xA2", true, true},  // Ɛndámâ
    DayHalfWord{"\xC6\x90nkak\xC9\x9Bny\xC3\xA1", false, true},  // Ɛnkakɛnyá
    DayHalfWord{"\xC6\x94" "ETR\xC6\x86", true, true},  // ƔETRƆ
    DayHalfWord{"\xC7\x81goagas", false, true},  // ǁGOAGAS, ǁgoagas
    DayHalfWord{"\xC7\x83uias", true, true},  // ǃUIAS, ǃuias
    DayHalfWord{"\xC9\x94\xCC\x80s\xC3\xA1n", true, true},  // ɔ̀sán
    DayHalfWord{"\xC9\x9Bnd\xC3\xA1m\xC3\xA2", true, true},  // ɛndámâ
    DayHalfWord{"\xC9\x9Bnkak\xC9\x9Bny\xC3\xA1", false, true},  // ɛnkakɛnyá
    DayHalfWord{"\xC9\xA3" "etr\xC9\x94", true, true},  // ɣetrɔ
    DayHalfWord{"\xCE\xBC.\xCE\xBC.", true, false},  // μ.μ.
    DayHalfWord{"\xCF\x80.\xCE\xBC.", false, false},  // π.μ.
    DayHalfWord{"\xD0\x90\xD0\x9C", false, false},  // АМ
    DayHalfWord{"\xD0\x9F\xD0\x9C", true, false},  // ПМ
    DayHalfWord{"\xD0\xA2\xD0\x9A", true, false},  // ТК
    DayHalfWord{"\xD0\xA2\xD0\x9E", false, false},  // ТО
    DayHalfWord{"\xD0\xAD\xD0\x98", false, false},  // ЭИ
    DayHalfWord{"\xD0\xAD\xD0\x9A", true, false},  // ЭК
    DayHalfWord{"\xD0\xB4\xD0\xBF", false, false},  // дп
    DayHalfWord{"\xD0\xBF\xD0\xBE \xD0\xBF\xD0\xBE\xD0\xB4\xD0\xBD\xD0\xB5", true, false},  // по подне
    DayHalfWord{"\xD0\xBF\xD0\xBE\xD0\xBF\xD0\xBB.", true, false},  // попл.
    DayHalfWord{"\xD0\xBF\xD0\xBE\xD1\x81\xD0\xBB\xD0\xB8\xD1\x98\xD0\xB5 \xD0\xBF\xD0\xBE\xD0\xB4\xD0\xBD\xD0\xB5", true, false},  // послије подне
    DayHalfWord{"\xD0\xBF\xD0\xBF", true, false},  // пп
    DayHalfWord{"\xD0\xBF\xD1\x80.\xD0\xBE\xD0\xB1.", false, false},  // пр.об.
    DayHalfWord{"\xD0\xBF\xD1\x80\xD0\xB5\xD1\x82\xD0\xBF\xD0\xBB.", false, false},  // претпл.
    DayHalfWord{"\xD0\xBF\xD1\x80\xD0\xB8\xD1\x98\xD0\xB5 \xD0\xBF\xD0\xBE\xD0\xB4\xD0\xBD\xD0\xB5", false, false},  // прије подне
    DayHalfWord{"\xD1\x81\xD0\xBB.\xD0\xBE\xD0\xB1.", true, false},  // сл.об.
    DayHalfWord{"\xD1\x82\xD0\xB0\xD2\xA3\xD0\xBA\xD1\x8B", false, false},  // таңкы
    DayHalfWord{"\xD1\x82\xD2\xAF\xD1\x88\xD1\x82\xD3\xA9\xD0\xBD \xD0\xBA\xD0\xB8\xD0\xB9\xD0\xB8\xD0\xBD\xD0\xBA\xD0\xB8", true, false},  // түштөн кийинки
    DayHalfWord{"\xD2\xAF.\xD1\x85.", true, false},  // ү.х.
    DayHalfWord{"\xD2\xAF.\xD3\xA9.", false, false},  // ү.ө.
    DayHalfWord{"\xD3\x95\xD0\xBC\xD0\xB1\xD0\xB8\xD1\x81\xD0\xB1\xD0\xBE\xD0\xBD\xD1\x8B \xD1\x80\xD0\xB0\xD0\xB7\xD0\xBC\xD3\x95", false, false},  // ӕмбисбоны размӕ
    DayHalfWord{"\xD3\x95\xD0\xBC\xD0\xB1\xD0\xB8\xD1\x81\xD0\xB1\xD0\xBE\xD0\xBD\xD1\x8B \xD1\x84\xD3\x95\xD1\x81\xD1\x82\xD3\x95", true, false},  // ӕмбисбоны фӕстӕ
    DayHalfWord{"\xD7\x90\xD7\x97\xD7\x94\xD7\xB4\xD7\xA6", true, false},  // אחה״צ
    DayHalfWord{"\xD7\x9C\xD7\xA4\xD7\xA0\xD7\x94\xD7\xB4\xD7\xA6", false, false},  // לפנה״צ
    DayHalfWord{"\xD7\xA0\xD7\x90\xD6\xB8\xD7\x9B\xD7\x9E\xD7\x99\xD7\x98\xD7\x90\xD6\xB8\xD7\x92", true, false},  // נאָכמיטאָג
    DayHalfWord{"\xD7\xA4\xD6\xBF\xD7\x90\xD6\xB7\xD7\xA8\xD7\x9E\xD7\x99\xD7\x98\xD7\x90\xD6\xB8\xD7\x92", false, false},  // פֿאַרמיטאָג
    DayHalfWord{"\xD8\xA7\xDB\x92 \xD8\xA7\xDB\x8C\xD9\x85", false, false},  // اے ایم
    DayHalfWord{"\xD8\xA8.\xD9\x86", false, false},  // ب.ن
    DayHalfWord{"\xD8\xA8\xD8\xB9\xD8\xAF\xD8\xA7\xD8\xB2\xD8\xB8\xD9\x87\xD8\xB1", true, false},  // بعدازظهر
    DayHalfWord{"\xD8\xAF.\xD9\x86", true, false},  // د.ن
    DayHalfWord{"\xD8\xB5", false, false},  // ص
    DayHalfWord{"\xD8\xB5\xD8\xA8\xD8\xAD\xD8\x8C \xD9\x85\xD9\x86\xD8\xAC\xD9\x87\xD9\x86\xD8\xAF", false, false},  // صبح، منجهند
    DayHalfWord{"\xD8\xBA.\xD9\x85.", false, false},  // غ.م.
    DayHalfWord{"\xD8\xBA.\xD9\x88.", true, false},  // غ.و.
    DayHalfWord{"\xD9\x82\xD8\xA8\xD9\x84\xE2\x80\x8C\xD8\xA7\xD8\xB2\xD8\xB8\xD9\x87\xD8\xB1", false, false},  // قبل‌ازظهر
    DayHalfWord{"\xD9\x85", true, false},  // م
    DayHalfWord{"\xD9\x85\xD9\x86\xD8\xAC\xD9\x87\xD9\x86\xD8\xAF\xD8\x8C \xD8\xB4\xD8\xA7\xD9\x85", true, false},  // منجهند، شام
    DayHalfWord{"\xD9\xBE\xDB\x8C \xD8\xA7\xDB\x8C\xD9\x85", true, false},  // پی ایم
    DayHalfWord{"\xDA\x86\xDB\x88\xD8\xB4\xD8\xAA\xD9\x89\xD9\x86 \xD8\xA8\xDB\x87\xD8\xB1\xDB\x87\xD9\x86", false, false},  // چۈشتىن بۇرۇن
    DayHalfWord{"\xDA\x86\xDB\x88\xD8\xB4\xD8\xAA\xD9\x89\xD9\x86 \xD9\x83\xDB\x90\xD9\x8A\xD9\x89\xD9\x86", true, false},  // چۈشتىن كېيىن
    DayHalfWord{"\xE0\xA4\x85\xE0\xA4\xAA\xE0\xA4\xB0\xE0\xA4\xBE\xE0\xA4\xB9\xE0\xA5\x8D\xE0\xA4\xA8", true, false},  // अपराह्न
    DayHalfWord{"\xE0\xA4\xA4\xE0\xA4\xA1\xE0\xA4\x95\xE0\xA5\x87", false, false},  // तडके
    DayHalfWord{"\xE0\xA4\xA6\xE0\xA4\xAA\xE0\xA5\x88\xE0\xA4\xB9\xE0\xA4\xB0 \xE0\xA4\xAC\xE0\xA4\xBE\xE0\xA4\xA6", true, false},  // दपैहर बाद
    DayHalfWord{"\xE0\xA4\xAA\xE0\xA5\x80 \xE0\xA4\x8F\xE0\xA4\xAE", true, false},  // पी एम
    DayHalfWord{"\xE0\xA4\xAA\xE0\xA5\x82\xE0\xA4\xB0\xE0\xA5\x8D\xE0\xA4\xB5\xE0\xA4\xBE\xE0\xA4\xB9\xE0\xA5\x8D\xE0\xA4\xA8", false, false},  // पूर्वाह्न
    DayHalfWord{"\xE0\xA4\xAB\xE0\xA5\x81\xE0\xA4\x82", false, false},  // फुं
    DayHalfWord{"\xE0\xA4\xAC\xE0\xA5\x87\xE0\xA4\xB2\xE0\xA4\xBE\xE0\xA4\xB8\xE0\xA5\x87", true, false},  // बेलासे
    DayHalfWord{"\xE0\xA4\xAD\xE0\xA5\x8B\xE0\xA4\xB0", false, false},  // भोर
    DayHalfWord{"\xE0\xA4\xAF\xE0\xA5\x87 \xE0\xA4\x8F\xE0\xA4\xAE", false, false},  // ये एम
    DayHalfWord{"\xE0\xA4\xB6\xE0\xA4\xBE\xE0\xA4\xAE \xE0\xA4\x9C\xE0\xA4\xBE", true, false},  // शाम जा
    DayHalfWord{"\xE0\xA4\xB8\xE0\xA4\x95\xE0\xA4\xBE\xE0\xA4\xB3", false, false},  // सकाळ
    DayHalfWord{"\xE0\xA4\xB8\xE0\xA4\xAC\xE0\xA5\x87\xE0\xA4\xB0\xE0\xA5\x87", false, false},  // सबेरे
    DayHalfWord{"\xE0\xA4\xB8\xE0\xA4\xB5\xE0\xA5\x87\xE0\xA4\xB0", false, false},  // सवेर
    DayHalfWord{"\xE0\xA4\xB8\xE0\xA4\xBE\xE0\xA4\x82\xE0\xA4\x9C", true, false},  // सांज
    DayHalfWord{"\xE0\xA4\xB8\xE0\xA4\xBE\xE0\xA4\x82\xE0\xA4\x9D", true, false},  // सांझ
    DayHalfWord{"\xE0\xA4\xB8\xE0\xA4\xBE\xE0\xA4\x82\xE0\xA4\xAE", true, false},  // सांम
    DayHalfWord{"\xE0\xA4\xB8\xE0\xA5\x81\xE0\xA4\xAC\xE0\xA5\x81\xE0\xA4\xB9 \xE0\xA4\x9C\xE0\xA4\xBE", false, false},  // सुबुह जा
    DayHalfWord{"\xE0\xA6\x85\xE0\xA6\xAA\xE0\xA7\xB0\xE0\xA6\xBE\xE0\xA6\xB9\xE0\xA7\x8D\xE0\xA6\xA8", true, false},  // অপৰাহ্ন
    DayHalfWord{"\xE0\xA6\x8F \xE0\xA6\x8F\xE0\xA6\xAE", false, false},  // এ এম
    DayHalfWord{"\xE0\xA6\xAA\xE0\xA6\xBF \xE0\xA6\x8F\xE0\xA6\xAE", true, false},  // পি এম
    DayHalfWord{"\xE0\xA6\xAA\xE0\xA7\x82\xE0\xA7\xB0\xE0\xA7\x8D\xE0\xA6\xAC\xE0\xA6\xBE\xE0\xA6\xB9\xE0\xA7\x8D\xE0\xA6\xA8", false, false},  // পূৰ্বাহ্ন
    DayHalfWord{"\xE0\xA8\xAA\xE0\xA9\x82.\xE0\xA8\xA6\xE0\xA9\x81.", false, false},  // ਪੂ.ਦੁ.
    DayHalfWord{"\xE0\xA8\xAC\xE0\xA8\xBE.\xE0\xA8\xA6\xE0\xA9\x81.", true, false},  // ਬਾ.ਦੁ.
    DayHalfWord{"\xE0\xAE\xAA\xE0\xAE\xBF\xE0\xAE\xB1\xE0\xAF\x8D\xE0\xAE\xAA\xE0\xAE\x95\xE0\xAE\xB2\xE0\xAF\x8D", true, false},  // பிற்பகல்
    DayHalfWord{"\xE0\xAE\xAE\xE0\xAF\x81\xE0\xAE\xB1\xE0\xAF\x8D\xE0\xAE\xAA\xE0\xAE\x95\xE0\xAE\xB2\xE0\xAF\x8D", false, false},  // முற்பகல்
    DayHalfWord{"\xE0\xB2\x85\xE0\xB2\xAA\xE0\xB2\xB0\xE0\xB2\xBE\xE0\xB2\xB9\xE0\xB3\x8D\xE0\xB2\xA8", true, false},  // ಅಪರಾಹ್ನ
    DayHalfWord{"\xE0\xB2\xAA\xE0\xB3\x82\xE0\xB2\xB0\xE0\xB3\x8D\xE0\xB2\xB5\xE0\xB2\xBE\xE0\xB2\xB9\xE0\xB3\x8D\xE0\xB2\xA8", false, false},  // ಪೂರ್ವಾಹ್ನ
    DayHalfWord{"\xE0\xB6\xB4.\xE0\xB7\x80.", true, false},  // ප.ව.
    DayHalfWord{"\xE0\xB6\xB4\xE0\xB7\x99.\xE0\xB7\x80.", false, false},  // පෙ.ව.
    DayHalfWord{"\xE0\xB8\x81\xE0\xB9\x88\xE0\xB8\xAD\xE0\xB8\x99\xE0\xB9\x80\xE0\xB8\x97\xE0\xB8\xB5\xE0\xB9\x88\xE0\xB8\xA2\xE0\xB8\x87", false, false},  // ก่อนเที่ยง
    DayHalfWord{"\xE0\xB8\xAB\xE0\xB8\xA5\xE0\xB8\xB1\xE0\xB8\x87\xE0\xB9\x80\xE0\xB8\x97\xE0\xB8\xB5\xE0\xB9\x88\xE0\xB8\xA2\xE0\xB8\x87", true, false},  // หลังเที่ยง
    DayHalfWord{"\xE0\xBA\x81\xE0\xBB\x88\xE0\xBA\xAD\xE0\xBA\x99\xE0\xBA\x97\xE0\xBB\x88\xE0\xBA\xBD\xE0\xBA\x87", false, false},  // ກ່ອນທ່ຽງ
    DayHalfWord{"\xE0\xBA\xAB\xE0\xBA\xBC\xE0\xBA\xB1\xE0\xBA\x87\xE0\xBA\x97\xE0\xBB\x88\xE0\xBA\xBD\xE0\xBA\x87", true, false},  // ຫຼັງທ່ຽງ
    DayHalfWord{"\xE0\xBD\x95\xE0\xBE\xB1\xE0\xBD\xB2\xE0\xBC\x8B\xE0\xBD\x86\xE0\xBC\x8B", true, false},  // ཕྱི་ཆ་
    DayHalfWord{"\xE0\xBD\x95\xE0\xBE\xB1\xE0\xBD\xB2\xE0\xBC\x8B\xE0\xBD\x91\xE0\xBE\xB2\xE0\xBD\xBC\xE0\xBC\x8B", true, false},  // ཕྱི་དྲོ་
    DayHalfWord{"\xE0\xBD\xA6\xE0\xBE\x94\xE0\xBC\x8B\xE0\xBD\x86\xE0\xBC\x8B", false, false},  // སྔ་ཆ་
    DayHalfWord{"\xE0\xBD\xA6\xE0\xBE\x94\xE0\xBC\x8B\xE0\xBD\x91\xE0\xBE\xB2\xE0\xBD\xBC\xE0\xBC\x8B", false, false},  // སྔ་དྲོ་
    DayHalfWord{"\xE1\x80\x8A\xE1\x80\x94\xE1\x80\xB1", true, false},  // ညနေ
    DayHalfWord{"\xE1\x80\x94\xE1\x80\xB6\xE1\x80\x94\xE1\x80\x80\xE1\x80\xBA", false, false},  // နံနက်
    DayHalfWord{"\xE1\x89\x85.\xE1\x89\x80.", false, false},  // ቅ.ቀ.
    DayHalfWord{"\xE1\x8A\xA8\xE1\x88\xB0\xE1\x8B\x93\xE1\x89\xB5", true, false},  // ከሰዓት
    DayHalfWord{"\xE1\x8B\xB5.\xE1\x89\x80.", true, false},  // ድ.ቀ.
    DayHalfWord{"\xE1\x8C\xA5\xE1\x8B\x8B\xE1\x89\xB5", false, false},  // ጥዋት
    DayHalfWord{"\xE1\x8F\x8C\xE1\x8E\xBE\xE1\x8E\xB4", false, false},  // ᏌᎾᎴ
    DayHalfWord{"\xE1\x8F\x92\xE1\x8E\xAF\xE1\x8F\xB1\xE1\x8E\xA2\xE1\x8F\x97\xE1\x8F\xA2", true, false},  // ᏒᎯᏱᎢᏗᏢ
    DayHalfWord{"\xE1\xB1\xA5\xE1\xB1\xAE\xE1\xB1\x9B\xE1\xB1\x9F\xE1\xB1\x9C", false, false},  // ᱥᱮᱛᱟᱜ
    DayHalfWord{"\xE1\xB1\xA7\xE1\xB1\xA4\xE1\xB1\xAB\xE1\xB1\x9F\xE1\xB1\xB9", true, false},  // ᱧᱤᱫᱟᱹ
    DayHalfWord{"\xE1\xB8\x8C" "effir aza", true, true},  // ḌEFFIR AZA, Ḍeffir aza
    DayHalfWord{"\xE1\xB8\x8D" "effir aza", true, true},  // ḍeffir aza
    DayHalfWord{"\xE1\xBB\x8C\xCC\x80S\xC3\x81N", true, true},  // Ọ̀SÁN
    DayHalfWord{"\xE1\xBB\x8C\xCC\x80s\xC3\xA1n", true, true},  // Ọ̀sán
    DayHalfWord{"\xE1\xBB\x8D\xCC\x80s\xC3\xA1n", true, true},  // ọ̀sán
    DayHalfWord{"\xE2\xB5\x9C\xE2\xB4\xB0\xE2\xB4\xB7\xE2\xB4\xB3\xE2\xB4\xB3\xE2\xB5\xAF\xE2\xB4\xB0\xE2\xB5\x9C", true, false},  // ⵜⴰⴷⴳⴳⵯⴰⵜ
    DayHalfWord{"\xE2\xB5\x9C\xE2\xB5\x89\xE2\xB4\xBC\xE2\xB4\xB0\xE2\xB5\xA1\xE2\xB5\x9C", false, false},  // ⵜⵉⴼⴰⵡⵜ
    DayHalfWord{"\xE4\xB8\x8A\xE5\x8D\x88", false, false},  // 上午
    DayHalfWord{"\xE4\xB8\x8B\xE5\x8D\x88", true, false},  // 下午
    DayHalfWord{"\xE5\x8D\x88\xE5\x89\x8D", false, false},  // 午前
    DayHalfWord{"\xE5\x8D\x88\xE5\xBE\x8C", true, false},  // 午後
    DayHalfWord{"\xEA\x81\xAF\xEA\x8B\x92", true, false},  // ꁯꋒ
    DayHalfWord{"\xEA\x8E\xB8\xEA\x84\x91", false, false},  // ꎸꄑ
    DayHalfWord{"\xEC\x98\xA4\xEC\xA0\x84", false, false},  // 오전
    DayHalfWord{"\xEC\x98\xA4\xED\x9B\x84", true, false},  // 오후
    DayHalfWord{"\xF0\x9E\xA4\x80\xF0\x9E\xA4\x8E", false, false},  // 𞤀𞤎
    DayHalfWord{"\xF0\x9E\xA4\x87\xF0\x9E\xA4\x8E", true, false},  // 𞤇𞤎
}};

constexpr std::array<DayHalfWord, 204> kEightBitWords = {{
    DayHalfWord{"A.M.", false, true},  // A.M. 1252, a.m. 1250, a.m. 1252
    DayHalfWord{"AM", false, true},  // AM 1250, AM 1251, AM 1252, AM 1254, AM 1256, AM 1257, am 1252
    DayHalfWord{"AN", false, true},  // AN 1252
    DayHalfWord{"Adduha", false, true},  // Adduha 1252
    DayHalfWord{"Aluula", true, true},  // Aluula 1252
    DayHalfWord{"a.", false, true},  // a. 1252
    DayHalfWord{"a. m.", false, true},  // a. m. 1252
    DayHalfWord{"a.g", false, true},  // a.g 1252
    DayHalfWord{"a.k", true, true},  // a.k 1252
    DayHalfWord{"akasuba", true, true},  // akasuba 1252
    DayHalfWord{"am Namittag", true, true},  // am Namittag 1252
    DayHalfWord{"am Vormittag", false, true},  // am Vormittag 1252
    DayHalfWord{"ap.", false, true},  // ap. 1252
    DayHalfWord{"atm", false, true},  // atm 1252
    DayHalfWord{"BN", false, true},  // BN 1252
    DayHalfWord{"CH", true, true},  // CH 1258
    DayHalfWord{"Chilo", true, true},  // Chilo 1252
    DayHalfWord{"comme", false, true},  // comme 1252
    DayHalfWord{"DA MANH\xC3", false, true},  // DA MANHÃ 1252
    DayHalfWord{"DE LA MA\xD1" "ANA", false, true},  // DE LA MAÑANA 1252
    DayHalfWord{"Dilolo", true, true},  // Dilolo 1252
    DayHalfWord{"Dinda", false, true},  // Dinda 1252
    DayHalfWord{"da manh\xE3", false, true},  // da manhã 1252
    DayHalfWord{"da tarde", true, true},  // da tarde 1252
    DayHalfWord{"de la ma\xF1" "ana", false, true},  // de la mañana 1252
    DayHalfWord{"de la tarde", true, true},  // de la tarde 1252
    DayHalfWord{"de.", false, true},  // de. 1250
    DayHalfWord{"dop.", false, true},  // dop. 1250
    DayHalfWord{"du.", true, true},  // du. 1250
    DayHalfWord{"EBY\xC1MU", true, true},  // EBYÁMU 1252
    DayHalfWord{"EW", true, true},  // EW 1252
    DayHalfWord{"Ebongi", true, true},  // Ebongi 1252
    DayHalfWord{"Eigulo", true, true},  // Eigulo 1252
    DayHalfWord{"e paradites", false, true},  // e paradites 1250
    DayHalfWord{"e pasdites", true, true},  // e pasdites 1250
    DayHalfWord{"e.h.", true, true},  // e.h. 1252
    DayHalfWord{"eahketbeaivet", true, true},  // eahketbeaivet 1252
    DayHalfWord{"eb", true, true},  // eb 1252
    DayHalfWord{"eby\xE1mu", true, true},  // ebyámu 1252
    DayHalfWord{"efiafi", true, true},  // efiafi 1252
    DayHalfWord{"em", true, true},  // em 1252
    DayHalfWord{"ep.", true, true},  // ep. 1252
    DayHalfWord{"f", true, true},  // f 1252
    DayHalfWord{"f.h.", false, true},  // f.h. 1252
    DayHalfWord{"fm", false, true},  // fm 1252
    DayHalfWord{"G.M.", true, true},  // G.M. 1252
    DayHalfWord{"GD", true, true},  // GD 1252
    DayHalfWord{"GH", false, true},  // GH 1252
    DayHalfWord{"G\xDCNORTADAN SO\xD2", true, true},  // GÜNORTADAN SOŇ 1250
    DayHalfWord{"G\xDCNORTADAN \xD6\xD2", false, true},  // GÜNORTADAN ÖŇ 1250
    DayHalfWord{"g\xFCnortadan so\xF2", true, true},  // günortadan soň 1250
    DayHalfWord{"g\xFCnortadan \xF6\xF2", false, true},  // günortadan öň 1250
    DayHalfWord{"hengihengi", false, true},  // hengihengi 1252
    DayHalfWord{"Isuk", false, true},  // Isuk 1252
    DayHalfWord{"i.n.", true, true},  // i.n. 1252
    DayHalfWord{"ib", false, true},  // ib 1252
    DayHalfWord{"ichamthi", true, true},  // ichamthi 1252
    DayHalfWord{"icheheavo", false, true},  // icheheavo 1252
    DayHalfWord{"KI", false, true},  // KI 1252
    DayHalfWord{"KUG\xDA", true, true},  // KUGÚ 1252
    DayHalfWord{"Kiroko", false, true},  // Kiroko 1252
    DayHalfWord{"K\xCDK\xCDR\xCDG", false, true},  // KÍKÍRÍG 1252
    DayHalfWord{"kang\x92" "ama", false, true},  // KANG’AMA 1252, kang’ama 1252
    DayHalfWord{"karoon", false, true},  // karoon 1252
    DayHalfWord{"kingoto", true, true},  // kingoto 1252
    DayHalfWord{"kooskoliny", true, true},  // kooskoliny 1252
    DayHalfWord{"kug\xFA", true, true},  // kugú 1252
    DayHalfWord{"kyiukonyi", true, true},  // kyiukonyi 1252
    DayHalfWord{"k\xEDk\xEDr\xEDg", false, true},  // kíkíríg 1252
    DayHalfWord{"LK", true, true},  // LK 1252
    DayHalfWord{"Luma lwa K", false, true},  // Luma lwa K 1252
    DayHalfWord{"Lwamilawu", false, true},  // Lwamilawu 1252
    DayHalfWord{"lilli", true, true},  // lilli 1252
    DayHalfWord{"luma lwa p", true, true},  // luma lwa p 1252
    DayHalfWord{"MAN\xC1", false, true},  // MANÁ 1252
    DayHalfWord{"MP\xD3KWA", true, true},  // MPÓKWA 1252
    DayHalfWord{"MUU", true, true},  // MUU 1252
    DayHalfWord{"Mambia", false, true},  // Mambia 1252
    DayHalfWord{"Mog", true, true},  // Mog 1252
    DayHalfWord{"Muhi", false, true},  // Muhi 1252
    DayHalfWord{"Munkyo", false, true},  // Munkyo 1252
    DayHalfWord{"m", false, true},  // m 1252
    DayHalfWord{"makeo", false, true},  // makeo 1252
    DayHalfWord{"man\xE1", false, true},  // maná 1252
    DayHalfWord{"matin", false, true},  // matin 1252
    DayHalfWord{"mchochil\x92l", true, true},  // MCHOCHIL’L 1252, mchochil’l 1252
    DayHalfWord{"moies", false, true},  // moies 1252
    DayHalfWord{"mp\xF3kwa", true, true},  // mpókwa 1252
    DayHalfWord{"NCW\xD2NZ\xC9M", true, true},  // NCWÒNZÉM 1252
    DayHalfWord{"ND", false, true},  // ND 1252
    DayHalfWord{"NOM\xCBTTES", true, true},  // NOMËTTES 1252
    DayHalfWord{"Ngo", true, true},  // Ngo 1252
    DayHalfWord{"N\x92" "abali", true, true},  // N’ABALI 1252, N’abali 1252, n’abali 1252
    DayHalfWord{"n tmeddit", true, true},  // n tmeddit 1252
    DayHalfWord{"n tufat", false, true},  // n tufat 1252
    DayHalfWord{"ncw\xF2nz\xE9m", true, true},  // ncwònzém 1252
    DayHalfWord{"nm.", true, true},  // nm. 1252
    DayHalfWord{"nom\xEBttes", true, true},  // nomëttes 1252
    DayHalfWord{"nyiaghuo", true, true},  // nyiaghuo 1252
    DayHalfWord{"OD", false, true},  // OD 1252
    DayHalfWord{"OT", true, true},  // OT 1252
    DayHalfWord{"odp.", true, true},  // odp. 1250
    DayHalfWord{"PG", false, true},  // PG 1252
    DayHalfWord{"PM", true, true},  // PM 1250, PM 1251, PM 1252, PM 1254, PM 1256, PM 1257, pm 1252
    DayHalfWord{"PN", true, true},  // PN 1252
    DayHalfWord{"PRIEK\xD0PUSDIEN\xC2", false, true},  // PRIEKŠPUSDIENĀ 1257
    DayHalfWord{"PRIE\xD0PIET", false, true},  // PRIEŠPIET 1257
    DayHalfWord{"PTG", true, true},  // PTG 1252
    DayHalfWord{"Pashamihe", true, true},  // Pashamihe 1252
    DayHalfWord{"P\xC7" "CPUSDIEN\xC2", true, true},  // PĒCPUSDIENĀ 1257
    DayHalfWord{"p.", true, true},  // p. 1252
    DayHalfWord{"p. m.", true, true},  // p. m. 1252
    DayHalfWord{"p.m.", true, true},  // p.m. 1250, p.m. 1252
    DayHalfWord{"pamilau", false, true},  // pamilau 1252
    DayHalfWord{"pamunyi", true, true},  // pamunyi 1252
    DayHalfWord{"po podne", true, true},  // po podne 1250
    DayHalfWord{"pop.", true, true},  // pop. 1250
    DayHalfWord{"popiet", true, true},  // popiet 1257
    DayHalfWord{"popodne", true, true},  // popodne 1250
    DayHalfWord{"priek\xF0pusdien\xE2", false, true},  // priekšpusdienā 1257
    DayHalfWord{"prie\xF0piet", false, true},  // priešpiet 1257
    DayHalfWord{"prije podne", false, true},  // prije podne 1250
    DayHalfWord{"prijepodne", false, true},  // prijepodne 1250
    DayHalfWord{"ptm", true, true},  // ptm 1252
    DayHalfWord{"p\xE7" "cpusdien\xE2", true, true},  // pēcpusdienā 1257
    DayHalfWord{"RW", false, true},  // RW 1252
    DayHalfWord{"r.n.", false, true},  // r.n. 1252
    DayHalfWord{"SA", false, true},  // SA 1258
    DayHalfWord{"Safiya", false, true},  // Safiya 1252
    DayHalfWord{"Sub", false, true},  // Sub 1252
    DayHalfWord{"Subbaahi", false, true},  // Subbaahi 1252
    DayHalfWord{"S\xC1R\xDAW\xC1", false, true},  // SÁRÚWÁ 1252
    DayHalfWord{"soir", true, true},  // soir 1252
    DayHalfWord{"subaka", false, true},  // subaka 1252
    DayHalfWord{"s\xE1r\xFAw\xE1", false, true},  // sárúwá 1252
    DayHalfWord{"TK", true, true},  // TK 1254
    DayHalfWord{"TO", false, true},  // TO 1254
    DayHalfWord{"TOO", false, true},  // TOO 1252
    DayHalfWord{"Taparachu", false, true},  // Taparachu 1252
    DayHalfWord{"Teipa", true, true},  // Teipa 1252
    DayHalfWord{"Tesiran", false, true},  // Tesiran 1252
    DayHalfWord{"tifawt", false, true},  // tifawt 1252
    DayHalfWord{"UHR V\xD6RMIDDAACHS", false, true},  // UHR VÖRMIDDAACHS 1252
    DayHalfWord{"Uhr nommendaachs", true, true},  // Uhr nommendaachs 1252
    DayHalfWord{"Uhr v\xF6rmiddaachs", false, true},  // Uhr vörmiddaachs 1252, uhr vörmiddaachs 1252
    DayHalfWord{"uluchelo", false, true},  // uluchelo 1252
    DayHalfWord{"utuko", false, true},  // utuko 1252
    DayHalfWord{"vm.", false, true},  // vm. 1252
    DayHalfWord{"WB", true, true},  // WB 1252
    DayHalfWord{"WD", false, true},  // WD 1252
    DayHalfWord{"Wengi", true, true},  // Wengi 1252
    DayHalfWord{"wichishu", false, true},  // wichishu 1252
    DayHalfWord{"Yamma", true, true},  // Yamma 1252
    DayHalfWord{"yb", false, true},  // yb 1252
    DayHalfWord{"yh", true, true},  // yh 1252
    DayHalfWord{"Z.MU.", false, true},  // Z.MU. 1252
    DayHalfWord{"Z.MW.", true, true},  // Z.MW. 1252
    DayHalfWord{"Zaarikay b", true, true},  // Zaarikay b 1252
    DayHalfWord{"Zdat azal", false, true},  // Zdat azal 1252
    DayHalfWord{"\x8C\xDF\x8C\xE3", true, false},  // 午後 932
    DayHalfWord{"\x8C\xDF\x91O", false, false},  // 午前 932
    DayHalfWord{"\xA1\xE8\xCD\xB9\xE0\xB7\xD5\xE8\xC2\xA7", false, false},  // ก่อนเที่ยง 874
    DayHalfWord{"\xA4U\xA4\xC8", true, false},  // 下午 950
    DayHalfWord{"\xA4W\xA4\xC8", false, false},  // 上午 950
    DayHalfWord{"\xBF\xC0\xC0\xFC", false, false},  // 오전 949
    DayHalfWord{"\xBF\xC0\xC8\xC4", true, false},  // 오후 949
    DayHalfWord{"\xC0\xCC", false, false},  // АМ 1251
    DayHalfWord{"\xC8.\xE4", false, false},  // ب.ن 1256
    DayHalfWord{"\xC8\xDA\xCF\xC7\xD2\xD9\xE5\xD1", true, false},  // بعدازظهر 1256
    DayHalfWord{"\xC9\xCF\xCE\xE7", false, false},  // 上午 936
    DayHalfWord{"\xCB\xC5\xD1\xA7\xE0\xB7\xD5\xE8\xC2\xA7", true, false},  // หลังเที่ยง 874
    DayHalfWord{"\xCF.\xE4", true, false},  // د.ن 1256
    DayHalfWord{"\xCF\xC2\xCE\xE7", true, false},  // 下午 936
    DayHalfWord{"\xCF\xCC", true, false},  // ПМ 1251
    DayHalfWord{"\xD2\xCA", true, false},  // ТК 1251
    DayHalfWord{"\xD2\xCE", false, false},  // ТО 1251
    DayHalfWord{"\xD5", false, false},  // ص 1256
    DayHalfWord{"\xD5\xC8\xCD\xA1 \xE3\xE4\xCC\xE5\xE4\xCF", false, false},  // صبح، منجهند 1256
    DayHalfWord{"\xD6S", true, true},  // ÖS 1254
    DayHalfWord{"\xD6\xD6", false, true},  // ÖÖ 1254
    DayHalfWord{"\xDB.\xE3.", false, false},  // غ.م. 1256
    DayHalfWord{"\xDB.\xE6.", true, false},  // غ.و. 1256
    DayHalfWord{"\xDD\xC8", false, false},  // ЭИ 1251
    DayHalfWord{"\xDD\xCA", true, false},  // ЭК 1251
    DayHalfWord{"\xDE\xC8\xE1\x9D\xC7\xD2\xD9\xE5\xD1", false, false},  // قبل‌ازظهر 1256
    DayHalfWord{"\xE0\xE7\xE4\xD8\xF6", true, false},  // אחה״צ 1255
    DayHalfWord{"\xE3", true, false},  // م 1256
    DayHalfWord{"\xE3\xE4\xCC\xE5\xE4\xCF\xA1 \xD4\xC7\xE3", true, false},  // منجهند، شام 1256
    DayHalfWord{"\xE4\xEF", false, false},  // дп 1251
    DayHalfWord{"\xEC.\xEC.", true, false},  // μ.μ. 1253
    DayHalfWord{"\xEC\xF4\xF0\xE4\xD8\xF6", false, false},  // לפנה״צ 1255
    DayHalfWord{"\xEF\xEE \xEF\xEE\xE4\xED\xE5", true, false},  // по подне 1251
    DayHalfWord{"\xEF\xEE\xEF\xEB.", true, false},  // попл. 1251
    DayHalfWord{"\xEF\xEE\xF1\xEB\xE8\xBC\xE5 \xEF\xEE\xE4\xED\xE5", true, false},  // послије подне 1251
    DayHalfWord{"\xEF\xEF", true, false},  // пп 1251
    DayHalfWord{"\xEF\xF0.\xEE\xE1.", false, false},  // пр.об. 1251
    DayHalfWord{"\xEF\xF0\xE5\xF2\xEF\xEB.", false, false},  // претпл. 1251
    DayHalfWord{"\xEF\xF0\xE8\xBC\xE5 \xEF\xEE\xE4\xED\xE5", false, false},  // прије подне 1251
    DayHalfWord{"\xF0.\xEC.", false, false},  // π.μ. 1253
    DayHalfWord{"\xF0\xE0\xC8\xEB\xEE\xE9\xE8\xE0\xC8\xE2", true, false},  // נאָכמיטאָג 1255
    DayHalfWord{"\xF1\xEB.\xEE\xE1.", true, false},  // сл.об. 1251
    DayHalfWord{"\xF4\xCF\xE0\xC7\xF8\xEE\xE9\xE8\xE0\xC8\xE2", false, false},  // פֿאַרמיטאָג 1255
    DayHalfWord{"\xF6s", true, true},  // ös 1254
    DayHalfWord{"\xF6\xF6", false, true},  // öö 1254
}};
// clang-format on

}  // namespace

std::span<const DayHalfWord> DayHalfWords(bool eightBit) {
  if (eightBit) return kEightBitWords;
  return kUtf8Words;
}

}  // namespace conversion::platform
