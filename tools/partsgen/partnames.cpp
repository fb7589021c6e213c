// Readings and everyday synonyms of the library's names, written beside the
// parts so the editor's search finds 片開き戸 by ドア, 便器 by トイレ and 冷蔵庫
// by れいぞうこ. Keyed by a part's base name: its file name up to the first
// "_" ("片開き戸_800_右" -> "片開き戸").
#include "partsheet.h"
#include <QSaveFile>
#include <QSet>
#include <map>

namespace partsgen {

namespace {

// Base name -> readings (hiragana) and synonyms, separated by spaces.
const std::map<QString, const char*>& table()
{
    static const std::map<QString, const char*> words = [] {
        const std::pair<const char*, const char*> rows[] = {
            // Doors and windows.
            {"片開き戸", "かたびらきど ドア 扉 とびら 戸 開き戸 開き扉 ひらきど 開戸"},
            {"両開き戸", "りょうびらきど ドア 扉 とびら 戸 開き戸 観音開き かんのんびらき 親子ドア"},
            {"玄関ドア", "げんかんどあ ドア 扉 とびら 戸 玄関 げんかん 開き戸 入口 いりぐち"},
            {"片引き戸", "かたひきど 引き戸 引戸 ひきど 戸 扉 スライドドア"},
            {"引込み戸", "ひきこみど 引き込み戸 引き戸 引戸 ひきど 戸 扉 スライドドア"},
            {"引違い戸", "ひきちがいど 引き違い戸 引き戸 引戸 ひきど 戸 扉 襖 ふすま 障子 しょうじ"},
            {"折れ戸", "おれど 折戸 ドア 扉 とびら 戸 フォールディングドア"},
            {"引違い窓", "ひきちがいまど 引き違い窓 窓 まど サッシ"},
            {"FIX窓", "ふぃっくすまど はめ殺し窓 はめごろし 嵌め殺し 窓 まど"},
            {"出窓", "でまど 窓 まど ベイウィンドウ"},
            {"滑り出し窓", "すべりだしまど すべり出し窓 窓 まど"},
            // Stairs and marks.
            {"直階段", "ちょくかいだん 階段 かいだん 鉄砲階段"},
            {"かね折れ階段", "かねおれかいだん 階段 かいだん L字階段"},
            {"回り階段", "まわりかいだん 階段 かいだん 廻り階段"},
            {"階段矢印", "かいだんやじるし 矢印 やじるし UP DN 階段 かいだん"},
            {"方位記号", "ほういきごう 方位 ほうい 北 きた N 方角"},
            // Kitchen, bath and toilet.
            {"キッチン", "きっちん 台所 だいどころ 流し台 ながしだい システムキッチン"},
            {"シンク", "しんく 流し ながし 流し台"},
            {"コンロ", "こんろ ガスコンロ IH 加熱調理器"},
            {"ユニットバス", "ゆにっとばす 浴室 よくしつ 風呂 ふろ お風呂 浴槽 よくそう バス UB"},
            {"置き型浴槽", "おきがたよくそう 浴槽 よくそう 風呂 ふろ バスタブ 猫足"},
            {"便器", "べんき トイレ といれ 便所 べんじょ WC 洋便器 手洗い"},
            {"洗面台", "せんめんだい 洗面 せんめん 洗面化粧台 手洗い"},
            {"洗濯機パン", "せんたくきぱん 防水パン ぼうすいぱん 洗濯機 せんたくき"},
            {"洗濯機", "せんたくき 洗濯 せんたく ランドリー"},
            {"冷蔵庫", "れいぞうこ 冷 R"},
            // Storage and rooms.
            {"押入", "おしいれ 押入れ 押し入れ 収納 しゅうのう 物入"},
            {"クローゼット", "くろーぜっと 収納 しゅうのう CL 物入"},
            {"床の間", "とこのま 床 とこ 和室"},
            {"下足入れ", "げそくいれ 下駄箱 げたばこ 靴箱 くつばこ シューズボックス 収納 しゅうのう"},
            // Furniture.
            {"ベッド", "べっど 寝台 しんだい"},
            {"ソファ", "そふぁ ソファー 長椅子 ながいす"},
            {"ダイニングテーブル", "だいにんぐてーぶる テーブル 食卓 しょくたく 椅子 いす"},
            {"デスク", "ですく 机 つくえ 椅子 いす"},
            {"テレビボード", "てれびぼーど テレビ台 てれびだい テレビ TV"},
            // Structure and outside.
            {"柱", "はしら ハシラ 通し柱 管柱"},
            {"丸柱", "まるばしら 柱 はしら"},
            {"シャフト", "しゃふと PS パイプスペース DS ダクトスペース"},
            {"車", "くるま 自動車 じどうしゃ 駐車場 ちゅうしゃじょう カーポート 駐車"},
            // Room names.
            {"LDK", "りびんぐだいにんぐきっちん リビング 居間"},
            {"LD", "りびんぐだいにんぐ リビング 居間"},
            {"DK", "だいにんぐきっちん ダイニング 台所"},
            {"K", "きっちん キッチン 台所"},
            {"S", "さーびするーむ サービスルーム 納戸"},
            {"WC", "といれ トイレ 便所"},
            {"UB", "ゆにっとばす ユニットバス 浴室 風呂"},
            {"CL", "くろーぜっと クローゼット 収納"},
            {"PS", "ぱいぷすぺーす パイプスペース シャフト"},
            {"UP", "あっぷ のぼり 上り 階段"},
            {"DN", "だうん くだり 下り 階段"},
            {"WIC", "うぉーくいんくろーぜっと ウォークインクローゼット 収納"},
            {"SIC", "しゅーずいんくろーく シューズインクローク 収納 玄関"},
            {"リビング", "りびんぐ 居間 いま"},
            {"ダイニング", "だいにんぐ 食堂 しょくどう"},
            {"洋室", "ようしつ 部屋 へや"},
            {"和室", "わしつ 部屋 へや 畳"},
            {"寝室", "しんしつ 部屋 へや ベッドルーム"},
            {"主寝室", "しゅしんしつ 寝室 部屋 へや"},
            {"子供部屋", "こどもべや 子ども部屋 部屋 へや"},
            {"書斎", "しょさい 部屋 へや 書庫"},
            {"玄関", "げんかん 入口 いりぐち エントランス"},
            {"ホール", "ほーる 玄関ホール"},
            {"廊下", "ろうか 通路 つうろ"},
            {"浴室", "よくしつ 風呂 ふろ お風呂 バス"},
            {"洗面所", "せんめんじょ 洗面 脱衣所"},
            {"脱衣所", "だついじょ 脱衣室 洗面所"},
            {"トイレ", "といれ 便所 べんじょ WC"},
            {"収納", "しゅうのう 物入"},
            {"納戸", "なんど 収納 S"},
            {"バルコニー", "ばるこにー ベランダ"},
            {"ベランダ", "べらんだ バルコニー"},
            {"ポーチ", "ぽーち 玄関ポーチ"},
            {"テラス", "てらす ウッドデッキ"},
            {"パントリー", "ぱんとりー 食品庫 しょくひんこ 収納"},
            {"土間", "どま 玄関"},
            {"吹抜", "ふきぬけ 吹き抜け"},
            {"階段", "かいだん"},
            {"物入", "ものいれ 物入れ 収納"},
        };
        std::map<QString, const char*> out;
        for (const auto& [name, more] : rows)
            out.emplace(QString::fromUtf8(name), more);
        return out;
    }();
    return words;
}

// Mat sizes ("6帖", "4.5畳") are found by either unit and by the reading.
QString matWords(const QString& base)
{
    if (base.endsWith(QString::fromUtf8("帖")))
        return QString::fromUtf8("じょう 畳");
    if (base.endsWith(QString::fromUtf8("畳")))
        return QString::fromUtf8("じょう 帖");
    return {};
}

} // namespace

QString baseName(const QString& partName) { return partName.section(QLatin1Char('_'), 0, 0); }

QString searchWords(const std::vector<Part>& parts)
{
    QString out = QStringLiteral("# name<TAB>readings and synonyms, for the parts search\n");
    std::map<QString, QString> lines; // sorted, so the file is the same every run
    for (const Part& part : parts) {
        const QString base = baseName(part.name);
        const auto it = table().find(base);
        const QString words = it != table().end() ? QString::fromUtf8(it->second) : matWords(base);
        if (!words.isEmpty())
            lines[base] = words;
    }
    for (const auto& [base, words] : lines)
        out += base + QLatin1Char('\t') + words + QLatin1Char('\n');
    return out;
}

bool writeSearchWords(const std::vector<Part>& parts, const QString& path, QString* error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(searchWords(parts).toUtf8()) < 0 || !file.commit()) {
        *error = QStringLiteral("cannot write %1").arg(path);
        return false;
    }
    return true;
}

} // namespace partsgen
