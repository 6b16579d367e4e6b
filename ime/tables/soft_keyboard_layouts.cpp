#include "tables/soft_keyboard_layouts.h"

#include <initializer_list>

namespace tovi {
namespace {

// One row of a layout from its four key groups: 0–9, A–M, N–Z and ; = , - . / ` [ \ ] '. Every
// key holds one unit; "　" (U+3000) is a key without a symbol, so a wrong count or an ASCII unit
// in place of it fails the build.
consteval SoftKeyRow keys(std::u16string_view digits, std::u16string_view aToM,
                          std::u16string_view nToZ, std::u16string_view punctuation) {
    if (digits.size() != 10 || aToM.size() != 13 || nToZ.size() != 13 || punctuation.size() != 11)
        throw "a layout row holds 10 + 13 + 13 + 11 symbols";
    SoftKeyRow row{};
    std::size_t at = 0;
    for (const std::u16string_view group : {digits, aToM, nToZ, punctuation}) {
        for (const char16_t unit : group) {
            if (unit < 0x80)
                throw "an ASCII unit in a layout row";
            row[at++] = unit;
        }
    }
    return row;
}

// Per layout: name, unshifted row, shifted row.
constexpr std::array<SoftLayout, kSoftLayoutCount> kLayouts{{
    {u"常用符号",
     keys(u"⑽⑴⑵⑶⑷⑸⑹⑺⑻⑼", u"■α∑▲⒊●★【⒏】『‘γ", u"β⒐⒑⒈⒋◆⒌⒎§⒉‰⒍＄", u"；＝，－。／｀［、］’"),
     keys(u"㈩㈠㈡㈢㈣㈤㈥㈦㈧㈨", u"□±∏△Ⅲ○☆〖Ⅷ〗』“÷", u"×ⅨⅩⅠⅣ◇ⅤⅦ※Ⅱ℃Ⅵ￥",
          u"：＋《＿》？～｛？｝”")},
    {u"标点符号",
     keys(u"ˉ，、；：？！…—·", u"〔（【〈“〉《》∶「」『［", u"）＂＇‘”〕々‖】’〗～〖",
          u"』¨］ˇ｛｝。｀〃｜．"),
     keys(u"　　　　　　　　　　", u"　　　　　　　　　　　　　", u"　　　　　　　　　　　　　",
          u"　　　　　　　　　　　")},
    {u"特殊符号",
     keys(u"　　　　　　　　　　", u"■＾＠▲☆※→←◇↑↓〓￣", u"＿◆□§★△○◎＼№＆●＃",
          u"　　　　　　　　　　　"),
     keys(u"　　　　　　　　　　", u"　　　　　　　　　　　　　", u"　　　　　　　　　　　　　",
          u"　　　　　　　　　　　")},
    {u"表格线", keys(u"┄┍┎┏┐┑┒┓　─", u"┬╀┾┮┞┯┰┱┣┲┳　╂", u"╁　│├┟┭┠┢┿┝┽┡┼", u"　　╃┈　　┌┆　┊　"),
     keys(u"┅┕┖┗┘┙┚┛　━", u"┴╈┶┶┦┷┸┹┫┺┻　╊", u"╉　┃┤┧┵┨┪╇┥╅┩╄", u"　　╋┉　　└┇　┋　")},
    {u"数字序号",
     keys(u"ⅪⅡⅢⅣⅤⅥⅦⅧⅨⅩ", u"㈠⑸⑶㈢⒊㈣㈤㈥⒏㈦㈧㈨⑺", u"⑹⒐⒑⒈⒋㈡⒌⒎⑷⒉⑵⒍⑴", u"㈩　⑻Ⅻ⑼⑽Ⅰ　　　　"),
     keys(u"　　　　　　　　　　", u"①⒂⒀③⒔④⑤⑥⒙⑦⑧⑨⒄", u"⒃⒚⒛⒒⒕②⒖⒘⒁⒓⑿⒗⑾", u"⑩　⒅　⒆⒇　　　　　")},
    {u"数学符号",
     keys(u"　≡≠＝≤≥＜＞≮≯", u"∧⊙∠∑－∏∪∩∫∈　∵∽", u"≌∮∝±×∨÷　⌒＋∥／⊥", u"∴　　∷√　≈∞　　　"),
     keys(u"　　　　　　　　　　", u"　　　　　　　　　　　　　", u"　　　　　　　　　　　　　",
          u"　　　　　　　　　　　")},
    {u"单位符号",
     keys(u"¤°′″＄￡￥‰％℃", u"百　毫万二亿兆吉七太拍艾　", u"　八九○三千四六微一厘五分",
          u"　　　￠　　　十　　　"),
     keys(u"　　　　　　　　　　", u"佰　　　贰　　　柒　　　　", u"　捌玖零叁仟肆陆　壹　伍　",
          u"　　　　　　　拾　　　")},
    {u"拼音符号",
     keys(u"　　　　　　　　　　", u"ē　ǔěǎè　īǒíǐìǘ", u"ǖò　āàé　óùáúōū", u"　　ǚ　ǜü　ê　　　"),
     keys(u"　　　　　　　　　　", u"　　　　　　　　　　　　　", u"　　　　　　　　　　　　　",
          u"　　　　　　　　　　　")},
    {u"注音符号",
     keys(u"ㄦㄉ　　ㄓ　　ㄚㄞㄢ", u"ㄇㄖㄏㄎㄍㄑㄕㄘㄛㄨㄜㄠㄩ", u"ㄙㄟㄣㄆㄐㄋㄔㄧㄒㄊ　ㄗㄈ",
          u"ㄤ　ㄝ　ㄡㄥ　　　　　"),
     keys(u"　　　　　　　　　　", u"　　　　　　　　　　　　　", u"　　　　　　　　　　　　　",
          u"　　　　　　　　　　　")},
    {u"日文平假名",
     keys(u"　ぃぅぇぉかきくけこ", u"なもむぬすねのはつひふへゅ", u"ゃってさせにそちめしみたま",
          u"ほ　ょんゎをぁと　ゐゑ"),
     keys(u"　いうえおがぎぐげご", u"ぱろるぷずぺぽばづびぶべゆ", u"や　でざぜぴぞぢれじりだら",
          u"ぼ　よ　わ　あど　　　")},
    {u"日文片假名",
     keys(u"ケィゥヴェォカヵキク", u"ナモムヌスネノハツヒフヘュ", u"ャッテサセニソチメシミタマ",
          u"ホコョヶヮヲァトンヰヱ"),
     keys(u"ゲイウ　エオガ　ギグ", u"パロルプズペポバヅビブベユ", u"ヤ　デザゼピゾヂレジリダラ",
          u"ボゴヨ　ワ　アド　　　")},
    {u"希腊字母",
     keys(u"　　　　　　　　　　", u"κχυμγνξοθπρ　ω", u"ψι　αδλεηφβτζσ", u"　　　　　　　　　　　"),
     keys(u"　　　　　　　　　　", u"ΚΧΥΜΓΝΞΟΘΠΡ　Ω", u"ΨΙ　ΑΔΛΕΗΦΒΤΖΣ",
          u"　　　　　　　　　　　")},
    {u"俄文字母",
     keys(u"　　　　　　　　　　", u"лъшнвопржстуь", u"ызиагмдёщбчец", u"ф　э　юя　й　кх"),
     keys(u"　　　　　　　　　　", u"ЛЪШНВОПРЖСТУЬ", u"ЫЗИАГМДЁЩБЧЕЦ", u"Ф　Э　ЮЯ　Й　КХ")},
}};

} // namespace

const std::array<SoftLayout, kSoftLayoutCount>& softLayouts() {
    return kLayouts;
}

std::optional<std::size_t> softKeyIndex(unsigned virtualKey) {
    if (virtualKey >= 0x30 && virtualKey <= 0x39)
        return virtualKey - 0x30;
    if (virtualKey >= 0x41 && virtualKey <= 0x5A)
        return virtualKey - 0x41 + 10;
    if (virtualKey >= 0xBA && virtualKey <= 0xC0)
        return virtualKey - 0xBA + 36;
    if (virtualKey >= 0xDB && virtualKey <= 0xDE)
        return virtualKey - 0xDB + 43;
    return std::nullopt;
}

SoftKeyboardCodes softKeyboardCodes(const SoftLayout& layout) {
    SoftKeyboardCodes codes;
    codes.plain.fill(kNoSoftSymbol);
    codes.shifted.fill(kNoSoftSymbol);
    for (std::size_t key = 0; key < kSoftKeyCount; ++key) {
        codes.plain[kSoftKeyVirtualKeys[key]] = layout.plain[key];
        codes.shifted[kSoftKeyVirtualKeys[key]] = layout.shifted[key];
    }
    return codes;
}

} // namespace tovi
