// The catalogue: factions, models and their variants, ships and weapons.
#include "catalogue.h"

#include <algorithm>
#include <array>
#include <stdexcept>

#include "clip_plan.h"
#include "prng.h"

namespace varsk::datagen {
namespace {

const std::vector<Faction>& Factions() {
  // headStyle: 0 mono-eye dome, 1 visor box, 2 twin eyes with fin, 3 crest, 4 wedge.
  // shoulderStyle: 0 round, 1 box, 2 spiked, 3 layered plates.
  static const std::vector<Faction> factions = {
      {{"Aldren Compact", "奧德倫協約", "オルドレン協約"},
       "AR",
       {{206, 210, 220}, {46, 86, 176}, {204, 44, 40}, {120, 250, 140}},
       2,
       1},
      {{"Varsk Dominion", "瓦斯克領", "ヴァスク領"},
       "VX",
       {{156, 36, 36}, {66, 64, 78}, {226, 180, 60}, {250, 90, 200}},
       0,
       2},
      {{"Helion League", "赫利昂聯盟", "ヘリオン連盟"},
       "HL",
       {{224, 172, 48}, {110, 76, 44}, {240, 240, 232}, {90, 230, 250}},
       1,
       0},
      {{"Kestrel Free Fleet", "紅隼自由艦隊", "ケストレル自由艦隊"},
       "KF",
       {{78, 142, 62}, {176, 156, 110}, {232, 120, 40}, {250, 240, 90}},
       1,
       1},
      {{"Meridian Guard", "子午線衛隊", "メリディアン衛隊"},
       "MG",
       {{44, 144, 152}, {120, 126, 136}, {240, 204, 60}, {250, 250, 120}},
       3,
       3},
      {{"Obsidian Syndicate", "黑曜集團", "オブシディアン結社"},
       "OS",
       {{64, 48, 88}, {128, 70, 170}, {232, 70, 150}, {250, 80, 110}},
       4,
       2},
      {{"Corvane Republic", "柯爾凡共和國", "コルヴェイン共和国"},
       "CR",
       {{128, 44, 64}, {196, 178, 136}, {220, 176, 70}, {110, 240, 160}},
       3,
       0},
      {{"Lunar Assembly", "月面議會", "月面議会"},
       "LA",
       {{176, 184, 196}, {64, 172, 204}, {34, 52, 110}, {250, 130, 60}},
       2,
       3},
      {{"Iron Ward", "鐵衛團", "アイアンウォード"},
       "IW",
       {{112, 122, 72}, {118, 102, 84}, {196, 56, 40}, {250, 220, 80}},
       0,
       1},
      {{"Sable Cohort", "黑貂軍團", "セーブル軍団"},
       "SC",
       {{44, 54, 96}, {206, 164, 64}, {230, 230, 236}, {250, 70, 70}},
       4,
       3},
      {{"Ember Clans", "餘燼氏族", "エンバー氏族"},
       "EC",
       {{212, 104, 44}, {84, 58, 46}, {246, 214, 70}, {120, 240, 250}},
       0,
       2},
      {{"Tidewater Pact", "潮汐公約", "タイドウォーター協定"},
       "TP",
       {{92, 162, 214}, {222, 226, 232}, {238, 130, 50}, {250, 240, 110}},
       1,
       0},
      {{"Outer Reach", "外緣傭兵團", "アウターリーチ傭兵団"},
       "OR",
       {{190, 162, 112}, {152, 82, 52}, {84, 168, 80}, {250, 90, 60}},
       3,
       1},
  };
  return factions;
}

const Names kModelNames[] = {
    {"Warden", "守望者", "ウォーデン"},
    {"Bulwark", "壁壘", "ブルワーク"},
    {"Picket", "哨衛", "ピケット"},
    {"Rampart", "城垣", "ランパート"},
    {"Flail", "連枷", "フレイル"},
    {"Skirmisher", "散兵", "スカーミッシャー"},
    {"Halberd", "長戟", "ハルバード"},
    {"Redoubt", "多面堡", "リダウト"},
    {"Outrider", "斥候騎", "アウトライダー"},
    {"Culverin", "長炮", "カルバリン"},
    {"Mattock", "鶴嘴鋤", "マトック"},
    {"Grenadier", "擲彈兵", "グレナディア"},
    {"Fusilier", "燧槍兵", "フュージリア"},
    {"Hussar", "驃騎兵", "フサール"},
    {"Cuirassier", "胸甲騎兵", "キュイラシェ"},
    {"Yeoman", "自由民", "ヨーマン"},
    {"Sapper", "工兵", "サッパー"},
    {"Drover", "牧者", "ドローヴァー"},
    {"Herald", "傳令", "ヘラルド"},
    {"Vigil", "守夜", "ヴィジル"},
    {"Palisade", "柵壘", "パリセード"},
    {"Citadel", "要塞", "シタデル"},
    {"Ironclad", "鐵甲", "アイアンクラッド"},
    {"Tusk", "獠牙", "タスク"},
    {"Quarrel", "弩矢", "クォレル"},
    {"Ballista", "弩砲", "バリスタ"},
    {"Onager", "投石機", "オナガー"},
    {"Mangonel", "投石車", "マンゴネル"},
    {"Wyvern", "雙足飛龍", "ワイバーン"},
    {"Gryphon", "獅鷲", "グリフォン"},
    {"Kraken", "海妖", "クラーケン"},
    {"Varn", "瓦恩", "ヴァーン"},
    {"Kestrin", "凱斯特林", "ケストリン"},
    {"Tarrow", "塔羅", "タロウ"},
    {"Osk", "奧斯克", "オスク"},
    {"Brand", "烙印", "ブランド"},
    {"Cinder", "餘燼", "シンダー"},
    {"Flint", "燧石", "フリント"},
    {"Slate", "石板", "スレート"},
    {"Basalt", "玄武岩", "バサルト"},
    {"Cobalt", "鈷藍", "コバルト"},
    {"Quartz", "石英", "クォーツ"},
    {"Garnet", "石榴石", "ガーネット"},
    {"Onyx", "縞瑪瑙", "オニキス"},
    {"Jasper", "碧玉", "ジャスパー"},
    {"Ferrite", "鐵氧體", "フェライト"},
    {"Tungsten", "鎢鋼", "タングステン"},
    {"Bramble", "荊棘", "ブランブル"},
    {"Thistle", "薊", "シスル"},
    {"Hawthorn", "山楂", "ホーソン"},
    {"Nettle", "蕁麻", "ネトル"},
    {"Briar", "野薔薇", "ブライアー"},
    {"Heron", "蒼鷺", "ヘロン"},
    {"Kite", "鳶", "カイト"},
    {"Petrel", "海燕", "ペトレル"},
    {"Tern", "燕鷗", "ターン"},
    {"Rook", "城鴉", "ルーク"},
    {"Finch", "雀", "フィンチ"},
    {"Magpie", "喜鵲", "マグパイ"},
    {"Starling", "椋鳥", "スターリング"},
    {"Wren", "鷦鷯", "レン"},
    {"Sentry", "哨兵", "セントリー"},
    {"Reeve", "郡守", "リーヴ"},
    {"Bailiff", "執事官", "ベイリフ"},
    {"Marshal", "元帥", "マーシャル"},
    {"Provost", "憲兵", "プロヴォスト"},
    {"Castellan", "城主", "カステラン"},
    {"Seneschal", "總管", "セネシャル"},
    {"Tribune", "護民官", "トリビューン"},
    {"Legate", "使節", "レガトゥス"},
    {"Hoplite", "重裝步兵", "ホプリテス"},
    {"Peltast", "輕盾兵", "ペルタスト"},
    {"Steward", "管事", "スチュワード"},
    {"Jarl", "雅爾", "ヤール"},
    {"Skald", "吟遊詩人", "スカルド"},
    {"Huscarl", "親衛兵", "ハスカール"},
    {"Squall", "颮風", "スコール"},
    {"Gale", "疾風", "ゲイル"},
    {"Tempest", "暴風", "テンペスト"},
    {"Monsoon", "季風", "モンスーン"},
    {"Cyclone", "氣旋", "サイクロン"},
    {"Frost", "霜", "フロスト"},
    {"Rime", "霧冰", "ライム"},
    {"Hail", "冰雹", "ヘイル"},
    {"Sleet", "霰雪", "スリート"},
    {"Thunderhead", "雷雲", "サンダーヘッド"},
    {"Ridge", "山脊", "リッジ"},
    {"Scarp", "斷崖", "スカープ"},
    {"Moraine", "冰磧", "モレーン"},
    {"Tor", "岩丘", "トール"},
    {"Drass", "德拉斯", "ドラス"},
    {"Velk", "維爾克", "ヴェルク"},
    {"Morrow", "莫羅", "モロウ"},
    {"Quell", "鎮壓者", "クエル"},
    {"Brisk", "疾行者", "ブリスク"},
    {"Corran", "柯蘭", "コラン"},
    {"Hadrel", "哈德雷", "ハドレル"},
    {"Isk", "伊斯克", "イスク"},
    {"Tavish", "塔維許", "タヴィッシュ"},
    {"Orrin", "歐林", "オリン"},
    {"Vessk", "維斯克", "ヴェスク"},
    {"Dunmere", "敦米爾", "ダンミア"},
    {"Cleaver", "劈刀", "クリーバー"},
    {"Glaive", "長柄刀", "グレイヴ"},
    {"Partisan", "闊頭槍", "パルチザン"},
    {"Bardiche", "長柄斧", "バルディッシュ"},
    {"Spetum", "三叉槍", "スペトゥム"},
    {"Morion", "高冠盔", "モリオン"},
    {"Gorget", "護喉甲", "ゴルジェ"},
    {"Pauldron", "肩甲", "ポールドロン"},
    {"Vambrace", "臂甲", "ヴァンブレイス"},
    {"Greave", "脛甲", "グリーヴ"},
    {"Bascinet", "輕盔", "バシネット"},
    {"Brigandine", "鑲釘甲", "ブリガンダイン"},
};

const Names kShipClassNames[] = {
    {"Regent", "攝政", "リージェント"},
    {"Paragon", "典範", "パラゴン"},
    {"Obelisk", "方尖碑", "オベリスク"},
    {"Monolith", "巨石", "モノリス"},
    {"Reliquary", "聖骨匣", "レリクアリ"},
    {"Waymark", "路標", "ウェイマーク"},
    {"Zenith", "天頂", "ゼニス"},
    {"Nadir", "天底", "ネイディア"},
    {"Perihelion", "近日點", "ペリヘリオン"},
    {"Aphelion", "遠日點", "アフェリオン"},
    {"Solstice", "至日", "ソルスティス"},
    {"Azimuth", "方位角", "アジマス"},
    {"Parallax", "視差", "パララックス"},
    {"Heliotrope", "天芥菜", "ヘリオトロープ"},
    {"Argent", "銀白", "アージェント"},
    {"Vellum", "羊皮紙", "ヴェラム"},
    {"Cascade", "瀑布", "カスケード"},
    {"Torrent", "激流", "トレント"},
    {"Estuary", "河口", "エスチュアリ"},
    {"Fjord", "峽灣", "フィヨルド"},
    {"Atoll", "環礁", "アトール"},
    {"Isthmus", "地峽", "イスマス"},
    {"Permafrost", "永凍土", "パーマフロスト"},
    {"Steppe", "草原", "ステップ"},
    {"Mesa", "方山", "メサ"},
    {"Caldera", "火山口", "カルデラ"},
    {"Pinnacle", "尖峰", "ピナクル"},
    {"Keystone", "拱心石", "キーストーン"},
    {"Buttress", "扶壁", "バットレス"},
    {"Gantry", "龍門架", "ガントリー"},
    {"Trellis", "棚架", "トレリス"},
    {"Summit", "巔峰", "サミット"},
    {"Corbel", "托臂", "コーベル"},
    {"Lintel", "門楣", "リンテル"},
    {"Plinth", "柱基", "プリンス"},
    {"Cupola", "圓頂", "キューポラ"},
    {"Spandrel", "拱肩", "スパンドレル"},
    {"Transom", "橫楣", "トランサム"},
};

// corvette, frigate, destroyer, cruiser, carrier, battleship, dreadnought
const Names kShipTypes[] = {
    {"corvette", "護衛艦", "コルベット"},    {"frigate", "巡防艦", "フリゲート"},
    {"destroyer", "驅逐艦", "駆逐艦"},       {"cruiser", "巡洋艦", "巡洋艦"},
    {"carrier", "航宙母艦", "宇宙空母"},     {"battleship", "戰艦", "戦艦"},
    {"dreadnought", "無畏艦", "超弩級戦艦"},
};

const Names kVariantNames[] = {
    {"", "", ""},
    {"Command", "指揮型", "指揮官機"},
    {"Desert", "沙漠型", "砂漠仕様"},
    {"Marine", "水中型", "水中型"},
    {"Space", "宇宙型", "宇宙仕様"},
    {"Heavy", "重裝型", "重装型"},
    {"Recon", "偵察型", "偵察型"},
    {"Sniper", "狙擊型", "狙撃型"},
    {"Assault", "突擊型", "強襲型"},
    {"Custom", "特裝型", "カスタム"},
    {"Prototype", "試作型", "試作型"},
};
const char kVariantLetters[] = {0, 'C', 'D', 'M', 'S', 'H', 'R', 'K', 'A', 'X', 'P'};

enum class WeaponKind : uint8_t { Gun, Missile, Energy, Melee, Ship };

struct WeaponBase {
  Names names;
  WeaponKind kind;
  int damage;
  int ammo;
};

const WeaponBase kWeaponBases[] = {
    {{"Machine gun", "機槍", "マシンガン"}, WeaponKind::Gun, 12, 0},
    {{"Heavy machine gun", "重機槍", "ヘビーマシンガン"}, WeaponKind::Gun, 16, 0},
    {{"Gatling gun", "格林機砲", "ガトリングガン"}, WeaponKind::Gun, 18, 0},
    {{"Autocannon", "機砲", "オートキャノン"}, WeaponKind::Gun, 22, 0},
    {{"Shotgun", "霰彈槍", "ショットガン"}, WeaponKind::Gun, 20, 0},
    {{"Battle rifle", "戰鬥步槍", "バトルライフル"}, WeaponKind::Gun, 24, 0},
    {{"Flak gun", "高射砲", "高射砲"}, WeaponKind::Gun, 26, 0},
    {{"Head gun", "頭部機砲", "頭部機関砲"}, WeaponKind::Gun, 8, 0},
    {{"Chest gun", "胸部機砲", "胸部機関砲"}, WeaponKind::Gun, 10, 0},
    {{"Arm gun", "腕部機砲", "腕部機関砲"}, WeaponKind::Gun, 10, 0},
    {{"Rocket launcher", "火箭發射器", "ロケットランチャー"}, WeaponKind::Missile, 40, 4},
    {{"Grenade launcher", "榴彈發射器", "グレネードランチャー"}, WeaponKind::Missile, 32, 6},
    {{"Missile pod", "飛彈莢艙", "ミサイルポッド"}, WeaponKind::Missile, 36, 6},
    {{"Micro-missile rack", "微型飛彈架", "マイクロミサイルラック"}, WeaponKind::Missile, 28, 12},
    {{"Cluster missile", "集束飛彈", "クラスターミサイル"}, WeaponKind::Missile, 44, 4},
    {{"Torpedo", "魚雷", "魚雷"}, WeaponKind::Missile, 50, 4},
    {{"Mortar", "迫擊砲", "迫撃砲"}, WeaponKind::Missile, 38, 8},
    {{"Howitzer", "榴彈砲", "榴弾砲"}, WeaponKind::Missile, 56, 6},
    {{"Flamethrower", "火焰噴射器", "火炎放射器"}, WeaponKind::Missile, 30, 10},
    {{"Chain mine", "連鎖水雷", "チェーンマイン"}, WeaponKind::Missile, 48, 3},
    {{"Shoulder cannon", "肩部加農砲", "ショルダーキャノン"}, WeaponKind::Missile, 48, 8},
    {{"Rail rifle", "電磁步槍", "レールライフル"}, WeaponKind::Missile, 34, 10},
    {{"Rail cannon", "電磁砲", "レールキャノン"}, WeaponKind::Missile, 60, 5},
    {{"Ion carbine", "離子卡賓槍", "イオンカービン"}, WeaponKind::Energy, 26, 0},
    {{"Ion rifle", "離子步槍", "イオンライフル"}, WeaponKind::Energy, 32, 0},
    {{"Ion long rifle", "離子長步槍", "イオンロングライフル"}, WeaponKind::Energy, 44, 0},
    {{"Ion cannon", "離子砲", "イオンキャノン"}, WeaponKind::Energy, 58, 0},
    {{"Pulse rifle", "脈衝步槍", "パルスライフル"}, WeaponKind::Energy, 30, 0},
    {{"Pulse cannon", "脈衝砲", "パルスキャノン"}, WeaponKind::Energy, 52, 0},
    {{"Scatter ray", "散射光線", "スキャッターレイ"}, WeaponKind::Energy, 40, 0},
    {{"Plasma thrower", "電漿噴射器", "プラズマスロウアー"}, WeaponKind::Energy, 46, 0},
    {{"Sonic blaster", "音波砲", "ソニックブラスター"}, WeaponKind::Energy, 34, 0},
    {{"Point-defense laser", "近防雷射", "迎撃レーザー"}, WeaponKind::Energy, 14, 0},
    {{"Arc lance", "電弧長槍", "アークランス"}, WeaponKind::Melee, 44, 0},
    {{"Arc blade", "電弧劍", "アークブレード"}, WeaponKind::Melee, 40, 0},
    {{"Heat blade", "熱能刀", "ヒートブレード"}, WeaponKind::Melee, 36, 0},
    {{"Heat axe", "熱能斧", "ヒートアックス"}, WeaponKind::Melee, 42, 0},
    {{"Plasma glaive", "電漿長柄刀", "プラズマグレイヴ"}, WeaponKind::Melee, 50, 0},
    {{"Chain sickle", "鎖鐮", "チェーンシックル"}, WeaponKind::Melee, 34, 0},
    {{"Crusher claw", "粉碎爪", "クラッシャークロー"}, WeaponKind::Melee, 38, 0},
    {{"Drill lance", "鑽頭槍", "ドリルランス"}, WeaponKind::Melee, 46, 0},
    {{"Shield bash", "盾擊", "シールドバッシュ"}, WeaponKind::Melee, 20, 0},
    {{"Pile driver", "打樁機", "パイルドライバー"}, WeaponKind::Melee, 54, 0},
    {{"Wire anchor", "錨鉤", "ワイヤーアンカー"}, WeaponKind::Melee, 18, 0},
    {{"Knuckle spike", "拳刺", "ナックルスパイク"}, WeaponKind::Melee, 24, 0},
    {{"Combat knife", "戰鬥刀", "コンバットナイフ"}, WeaponKind::Melee, 16, 0},
    {{"Main ion battery", "主離子砲", "イオン主砲"}, WeaponKind::Ship, 90, 0},
    {{"Deck gun", "甲板砲", "甲板砲"}, WeaponKind::Ship, 40, 0},
    {{"Twin deck gun", "雙聯甲板砲", "連装甲板砲"}, WeaponKind::Ship, 55, 0},
    {{"Bow torpedo", "艦首魚雷", "艦首魚雷"}, WeaponKind::Ship, 70, 0},
    {{"Point-defense turret", "近防砲塔", "対空砲塔"}, WeaponKind::Ship, 20, 0},
    {{"Broadside battery", "舷側砲組", "舷側砲列"}, WeaponKind::Ship, 65, 0},
    {{"Spinal rail gun", "艦軸電磁砲", "軸線レールガン"}, WeaponKind::Ship, 120, 0},
    {{"Siege cannon", "攻城砲", "攻城砲"}, WeaponKind::Ship, 100, 0},
    {{"Anti-ship missile", "反艦飛彈", "対艦ミサイル"}, WeaponKind::Ship, 80, 0},
    {{"Depth charge", "深水炸彈", "爆雷"}, WeaponKind::Ship, 45, 0},
};

struct WeaponDef {
  Names names;
  WeaponKind kind;
  int damage;
  int ammo;
};

std::string LowerFirst(std::string text) {
  if (!text.empty() && text[0] >= 'A' && text[0] <= 'Z')
    text[0] = static_cast<char>(text[0] - 'A' + 'a');
  return text;
}

// Every base, then Mk2 of every base, heavy and twin versions where they make
// sense, until 175; listed grouped by base like a real weapon table.
std::vector<WeaponDef> MakeWeapons() {
  constexpr int kBases = static_cast<int>(std::size(kWeaponBases));
  std::vector<std::vector<WeaponDef>> byBase(kBases);
  int total = 0;
  for (int i = 0; i < kBases; ++i) {
    const WeaponBase& b = kWeaponBases[i];
    byBase[i].push_back({b.names, b.kind, b.damage, b.ammo});
    ++total;
  }
  for (int round = 0; round < 3 && total < kWeapons; ++round) {
    for (int i = 0; i < kBases && total < kWeapons; ++i) {
      const WeaponBase& b = kWeaponBases[i];
      const bool alreadyHeavy = b.names.e.rfind("Heavy", 0) == 0;
      const bool alreadyTwin = b.names.e.rfind("Twin", 0) == 0;
      const bool mount = b.names.e.find("gun") != std::string::npos &&
                         (b.names.e.rfind("Head", 0) == 0 || b.names.e.rfind("Chest", 0) == 0 ||
                          b.names.e.rfind("Arm", 0) == 0);
      WeaponDef w{b.names, b.kind, b.damage, b.ammo};
      if (round == 0) {
        w.names = {b.names.e + " Mk2", b.names.c + " Mk2", b.names.j + " Mk2"};
        w.damage = b.damage * 115 / 100;
      } else if (round == 1) {
        const std::string heavy = "Heavy " + LowerFirst(b.names.e);
        const bool heavyIsBase =
            std::any_of(std::begin(kWeaponBases), std::end(kWeaponBases),
                        [&](const WeaponBase& o) { return o.names.e == heavy; });
        if (alreadyHeavy || heavyIsBase || mount || b.kind == WeaponKind::Ship) continue;
        w.names = {heavy, "重型" + b.names.c, "重" + b.names.j};
        w.damage = b.damage * 130 / 100;
        w.ammo = std::max(b.ammo * 2 / 3, b.ammo > 0 ? 1 : 0);
      } else {
        if (alreadyTwin || mount || b.kind == WeaponKind::Melee) continue;
        w.names = {"Twin " + LowerFirst(b.names.e), "雙聯" + b.names.c, "連装" + b.names.j};
        w.damage = b.damage * 150 / 100;
      }
      byBase[i].push_back(w);
      ++total;
    }
  }
  std::vector<WeaponDef> weapons;
  for (auto& group : byBase) weapons.insert(weapons.end(), group.begin(), group.end());
  if (static_cast<int>(weapons.size()) != kWeapons) throw std::logic_error("weapon count");
  return weapons;
}

// Which model slot of a faction block plays which part.
struct ModelSlot {
  int entries;
  int tier;
  int number;  // designation number
  Variant variants[3];
};
const ModelSlot kFactionBlock[] = {
    {3, 1, 5, {Variant::Base, Variant::Command, Variant::Desert}},
    {2, 1, 7, {Variant::Base, Variant::Marine}},
    {2, 2, 12, {Variant::Base, Variant::Recon}},
    {2, 2, 18, {Variant::Base, Variant::Heavy}},
    {2, 3, 24, {Variant::Base, Variant::Sniper}},
    {1, 2, 31, {Variant::Base}},
    {1, 4, 42, {Variant::Base}},
    {1, 3, 27, {Variant::Custom}},
};
constexpr int kModelsPerFaction = static_cast<int>(std::size(kFactionBlock));

const int kLightSets[] = {1, 2, 3, 4, 6, 8, 10, 14, 16, 21, 20};

int SetOfModel(int faction, int slot) {
  switch (slot) {
    case 0:
      return kLightSets[(2 * faction) % 11];
    case 1:
      return kLightSets[(2 * faction + 1) % 11];
    case 2:
      return std::array{5, 15, 9, 20}[faction % 4];
    case 3:
      return std::array{9, 15, 5, 13, 23}[faction % 5];
    case 4:
      return std::array{23, 13, 22}[faction % 3];
    case 5:
      return std::array{7, 11, 12}[faction % 3];
    case 6:
      return faction == 3 ? 17 : 24 + faction;
    default:
      return std::array{13, 22, 23, 17}[faction % 4];
  }
}

// The experimental units at the end of the MS list (entries 183..191).
struct Experimental {
  int faction;
  int set;
  int number;
};
const Experimental kExperimentals[] = {{0, 22, 90},  {1, 37, 91}, {5, 17, 92},
                                       {7, 26, 93},  {9, 30, 94}, {2, 33, 95},
                                       {10, 36, 96}, {6, 35, 97}, {12, 25, 98}};

std::string TwoDigits(int n) {
  return std::string(1, static_cast<char>('0' + n / 10)) + static_cast<char>('0' + n % 10);
}

Names DesignationName(const Faction& faction, int number, Variant variant, const Names& model,
                      const char* prefixOverride = nullptr) {
  std::string code =
      std::string(prefixOverride ? prefixOverride : faction.prefix) + "-" + TwoDigits(number);
  const auto v = static_cast<size_t>(variant);
  if (variant != Variant::Base) code += kVariantLetters[v];
  Names names{code + " " + model.e, code + " " + model.c, code + " " + model.j};
  if (variant != Variant::Base) {
    names.e += " " + kVariantNames[v].e;
    names.c += kVariantNames[v].c;
    names.j += kVariantNames[v].j;
  }
  return names;
}

int Clamp(int v, int lo, int hi) { return std::min(std::max(v, lo), hi); }

WeaponSlot MakeSlot(const std::vector<WeaponDef>& weapons, int id, int tier, bool ammoSlot,
                    Prng& prng) {
  WeaponSlot slot{};
  const WeaponDef& w = weapons[static_cast<size_t>(id - 1)];
  slot.weaponId = id;
  slot.damage = Clamp(w.damage * (90 + 12 * tier + prng.Range(0, 10)) / 100, 1, 255);
  if (ammoSlot) {
    if (w.kind == WeaponKind::Energy) {
      slot.ammo = -Clamp(8 + w.damage / 3 + prng.Range(0, 6), 1, 127);  // fed from HP
    } else {
      slot.ammo = Clamp(w.ammo > 0 ? w.ammo + prng.Range(0, 2) : 6 + prng.Range(0, 6), 1, 127);
    }
  }
  slot.occupied = 1;
  return slot;
}

// Weapon ids of one kind.
std::vector<int> IdsOf(const std::vector<WeaponDef>& weapons, WeaponKind kind) {
  std::vector<int> ids;
  for (size_t i = 0; i < weapons.size(); ++i) {
    if (weapons[i].kind == kind) ids.push_back(static_cast<int>(i) + 1);
  }
  return ids;
}

int Pick(const std::vector<int>& ids, Prng& prng) {
  return ids[static_cast<size_t>(prng.Range(0, static_cast<int>(ids.size()) - 1))];
}

MsRecord MakeMsRecord(int entryIndex, const EntryDesign& e, int set, int auxIndex,
                      const std::vector<WeaponDef>& weapons) {
  Prng prng(SeedFor(11, static_cast<uint64_t>(entryIndex)));
  MsRecord r{};
  const int t = e.tier;
  r.spriteIndex = e.sprite;
  r.ownIndex = entryIndex;
  r.auxIndex = auxIndex;
  r.cost = Clamp((t == 4 ? 420 : 40 + 90 * t) + prng.Range(0, 60), 1, 65535);
  r.hp = Clamp((t == 4 ? 360 : 60 + 55 * t) + prng.Range(0, 50), 1, 65535);
  r.en = Clamp(40 + 30 * t + prng.Range(0, 40), 0, 255);
  r.move = Clamp(4 + (t <= 2 ? 2 : 1) + prng.Range(0, 2), 1, 31);
  // Move type by the unit's home: ground, space, air, water.
  static const int kHome[kFactionCount] = {5, 10, 7, 3, 5, 6, 1, 6, 7, 2, 0, 9, 14};
  int moveType = kHome[e.faction];
  switch (e.variant) {
    case Variant::Marine:
      moveType = 12;
      break;
    case Variant::Space:
      moveType = 4;
      break;
    case Variant::Desert:
      moveType = 7;
      break;
    case Variant::Recon:
      moveType = 11;
      break;
    default:
      break;
  }
  const SetRole role = SetDesigns()[static_cast<size_t>(set - 1)].role;
  if (role == SetRole::Transform) moveType = 8;
  if (role == SetRole::Support) moveType = 13;
  if (role == SetRole::Hover) moveType = 15;
  if (entryIndex >= 183) moveType = entryIndex % 3 == 0 ? 18 : 2;
  r.moveType = moveType;
  int terrain = 0;
  if (moveType == 3 || moveType == 8 || moveType == 9 || moveType == 11) terrain |= 1;
  if (t <= 2) terrain |= 2;
  if (moveType == 12 || moveType == 1) terrain |= 4;
  r.terrainFlags = terrain;
  r.factionFlags =
      (1 << e.faction) | (prng.Chance(20) ? 1 << ((e.faction + 1) % kFactionCount) : 0);
  static const int kFactories[kFactionCount] = {3, 1, 2, 2, 3, 1, 2, 5, 2, 1, 2, 3, 7};
  r.factoryFlags = kFactories[e.faction];
  r.ace = e.variant == Variant::Command ? 2 : e.variant == Variant::Custom ? 5 : 0;
  r.baseDamage = Clamp(10 * t + prng.Range(0, 12), 0, 65535);
  r.reserved1 = entryIndex % 47 == 0 ? 0 : 8;
  r.reserved2 = 2;
  r.tech = Clamp(6 * t + e.faction % 4 + prng.Range(0, 5), 0, 255);
  r.productTurn = Clamp(t + (t >= 3 ? prng.Range(0, 2) : 0), 1, 31);
  r.supportTurn = Clamp(1 + (t >= 2 ? prng.Range(0, t - 1) : 0), 1, 7);
  r.sPoint = Clamp(t + prng.Range(0, 3), 0, 255);
  r.armor = Clamp(12 * t + prng.Range(0, 18) + (e.variant == Variant::Heavy ? 25 : 0), 0, 65535);
  r.shipDamage = Clamp(8 * t + prng.Range(0, 10), 0, 65535);
  const bool artillery = role == SetRole::Support || t == 4 || e.variant == Variant::Sniper;
  r.artillery = artillery ? Clamp(30 + 20 * t + prng.Range(0, 30), 0, 65535) : 0;
  r.artilleryRange = artillery ? Clamp(2 + t / 2 + prng.Range(0, 2), 1, 127) : 0;
  const bool area = t == 4 || entryIndex >= 183;
  r.areaDamage = area ? 40 + prng.Range(0, 60) : 0;
  r.areaRange = area ? 1 + prng.Range(0, 2) : 0;
  r.speed = Clamp(4 + 2 * (5 - t) + prng.Range(0, 4), 0, 255);
  r.reserved3 = 0;
  r.rawBytes[0] = static_cast<uint8_t>(0x10 * t + e.faction);
  r.rawBytes[1] = static_cast<uint8_t>(prng.Range(0, 3));
  r.rawBytes[2] = static_cast<uint8_t>(set);
  r.rawBytes[3] = static_cast<uint8_t>(e.variant == Variant::Base ? 0 : 1);

  // Loadout: a gun and a close weapon in the two slots without ammunition, an
  // ammunition weapon next; better units carry more.
  static const std::vector<int> guns = IdsOf(weapons, WeaponKind::Gun);
  static const std::vector<int> missiles = IdsOf(weapons, WeaponKind::Missile);
  static const std::vector<int> energy = IdsOf(weapons, WeaponKind::Energy);
  static const std::vector<int> melee = IdsOf(weapons, WeaponKind::Melee);
  const bool energyUser = e.faction % 3 != 1 || t >= 3;
  r.weapons[0] =
      MakeSlot(weapons, Pick(energyUser && t >= 2 ? energy : guns, prng), t, false, prng);
  r.weapons[1] = MakeSlot(weapons, Pick(melee, prng), t, false, prng);
  r.weapons[2] = MakeSlot(weapons, Pick(prng.Chance(40) ? energy : missiles, prng), t, true, prng);
  if (t >= 2)
    r.weapons[3] =
        MakeSlot(weapons, Pick(prng.Chance(50) ? energy : missiles, prng), t, true, prng);
  if (t >= 2 || prng.Chance(50)) r.weapons[4] = MakeSlot(weapons, Pick(guns, prng), t, false, prng);
  if (t >= 3) r.weapons[5] = MakeSlot(weapons, Pick(melee, prng), t, false, prng);
  if (t >= 3) r.weapons[6] = MakeSlot(weapons, Pick(missiles, prng), t, true, prng);
  if (t >= 4 || entryIndex >= 183)
    r.weapons[7] = MakeSlot(weapons, Pick(energy, prng), t, true, prng);
  return r;
}

ShipRecord MakeShipRecord(int shipNumber, const EntryDesign& e, int shipClass) {
  Prng prng(SeedFor(12, static_cast<uint64_t>(shipNumber)));
  ShipRecord r{};
  const int s = shipClass;  // 0 corvette .. 6 dreadnought
  r.spriteIndex = e.sprite;
  r.ownIndex = kMsEntries + shipNumber;
  r.auxIndex = 100 + shipNumber;
  r.cost = 500 + 420 * s + prng.Range(0, 200);
  r.hp = 1200 + 1100 * s + prng.Range(0, 400);
  r.en = Clamp(90 + 22 * s + prng.Range(0, 20), 0, 255);
  r.terrainFlags = 0;
  static const int kShipMoves[] = {2, 4, 6, 13};
  r.moveType = kShipMoves[(shipNumber + s) % 4];
  r.move = Clamp(7 - s / 2 + prng.Range(0, 1), 1, 31);
  r.factionFlags = (1 << e.faction) | (s >= 4 ? 0 : 1 << ((e.faction + 4) % kFactionCount));
  r.factoryFlags = 1 | (s <= 2 ? 4 : 0);
  r.space = Clamp(s == 4 ? 10 + prng.Range(0, 4) : 1 + s + prng.Range(0, 2), 0, 255);
  r.tech = Clamp(10 + 5 * s + prng.Range(0, 6), 0, 255);
  r.productTurn = Clamp(2 + s, 1, 31);
  r.supportTurn = Clamp(1 + s / 2, 1, 7);
  r.sPoint = Clamp(4 + 2 * s + prng.Range(0, 4), 0, 255);
  r.sPointShip = Clamp(2 + s + prng.Range(0, 3), 0, 255);
  r.armor = Clamp(30 + 25 * s + prng.Range(0, 20), 0, 255);
  r.defense = Clamp(20 + 20 * s + prng.Range(0, 20), 0, 255);
  r.artillery = Clamp(40 + 28 * s + prng.Range(0, 20), 0, 255);
  r.artilleryRange = Clamp(2 + s / 2 + prng.Range(0, 1), 0, 127);
  r.areaDamage = s >= 4 ? 60 + prng.Range(0, 80) : 0;
  r.areaRange = s >= 4 ? 1 + s / 3 : 0;
  r.speed = Clamp(9 - s + prng.Range(0, 2), 0, 255);
  r.rawBytes[0] = static_cast<uint8_t>(0x40 + s);
  r.rawBytes[1] = static_cast<uint8_t>(e.faction);
  r.rawBytes[2] = static_cast<uint8_t>(prng.Range(0, 7));
  return r;
}

int ShipClassOfSet(int set) {
  switch (set) {
    case 39:
    case 19:
      return 0;
    case 50:
      return 1;
    case 18:
    case 40:
    case 41:
      return 2;
    case 42:
    case 43:
    case 44:
      return 3;
    case 45:
    case 47:
    case 38:
      return 4;
    case 46:
    case 48:
    case 49:
      return 5;
    default:
      return 6;  // 51
  }
}

Catalogue MakeCatalogue() {
  Catalogue cat;
  cat.factions = Factions();
  const std::vector<WeaponDef> weapons = MakeWeapons();
  for (const WeaponDef& w : weapons) cat.weapons.push_back(w.names);

  cat.entries.resize(kEntries);
  cat.sprites.resize(kSprites);
  std::vector<int> setOfEntry(kEntries + 1, 0);
  std::vector<int> auxOfEntry(kEntries + 1, 0);
  size_t nextName = 0;
  int entry = 1;
  for (int f = 0; f < kFactionCount; ++f) {
    for (int m = 0; m < kModelsPerFaction; ++m) {
      const ModelSlot& slot = kFactionBlock[m];
      const Names& model = kModelNames[nextName++];
      const int set = SetOfModel(f, m);
      const int sprite = entry;
      for (int v = 0; v < slot.entries; ++v, ++entry) {
        EntryDesign& e = cat.entries[static_cast<size_t>(entry - 1)];
        e.variant = slot.variants[v];
        e.names = DesignationName(cat.factions[f], slot.number + f % 3, e.variant, model);
        e.sprite = sprite;
        e.faction = f;
        e.tier = slot.tier;
        setOfEntry[entry] = set;
        auxOfEntry[entry] = f * 16 + m;
        // A variant's own sprite index draws the same model's other build.
        SpriteDesign& s = cat.sprites[static_cast<size_t>(entry)];
        s.kind = SpriteKind::Robot;
        s.set = set;
        s.faction = f;
        s.tier = slot.tier;
        s.seed = SeedFor(1, static_cast<uint64_t>(entry));
      }
    }
  }
  for (const Experimental& x : kExperimentals) {
    EntryDesign& e = cat.entries[static_cast<size_t>(entry - 1)];
    const Names& model = kModelNames[nextName++];
    e.variant = Variant::Prototype;
    e.names = DesignationName(cat.factions[x.faction], x.number, Variant::Prototype, model, "XM");
    e.sprite = entry;
    e.faction = x.faction;
    e.tier = 4;
    setOfEntry[entry] = x.set;
    auxOfEntry[entry] = 0xD0 + (entry - 183);
    SpriteDesign& s = cat.sprites[static_cast<size_t>(entry)];
    s.kind = SpriteKind::Robot;
    s.set = x.set;
    s.faction = x.faction;
    s.tier = 4;
    s.seed = SeedFor(1, static_cast<uint64_t>(entry));
    ++entry;
  }
  if (entry != kMsEntries + 1) throw std::logic_error("MS entry count");

  // Ships: three per faction (the last faction two), small to large; the
  // first ship is a corvette, the seventeenth the largest carrier.
  const int kSmall[] = {39, 19, 50, 18, 40, 41};
  const int kMedium[] = {42, 43, 44, 45, 47};
  const int kLarge[] = {46, 48, 49, 51, 45, 47};
  for (int n = 1; n <= kShipEntries; ++n) {
    const int f = (n - 1) / 3;
    const int size = (n - 1) % 3;
    int set = size == 0 ? kSmall[(f + 1) % 6] : size == 1 ? kMedium[f % 5] : kLarge[f % 6];
    if (n == 1) set = 19;
    if (n == 17) set = 38;
    const int index = kMsEntries + n;
    EntryDesign& e = cat.entries[static_cast<size_t>(index - 1)];
    const int shipClass = ShipClassOfSet(set);
    const Names& cls = kShipClassNames[n - 1];
    const Names& type = kShipTypes[shipClass];
    e.names = {cls.e + "-class " + type.e, cls.c + "級" + type.c, cls.j + "級" + type.j};
    e.sprite = index;
    e.faction = f;
    e.tier = shipClass;
    e.ship = true;
    setOfEntry[index] = set;
    SpriteDesign& s = cat.sprites[static_cast<size_t>(index)];
    s.kind = SpriteKind::Ship;
    s.set = set;
    s.faction = f;
    s.shipClass = shipClass;
    s.seed = SeedFor(2, static_cast<uint64_t>(index));
  }

  for (int e = 1; e <= kMsEntries; ++e) {
    cat.ms.push_back(MakeMsRecord(e, cat.entries[static_cast<size_t>(e - 1)], setOfEntry[e],
                                  auxOfEntry[e], weapons));
  }
  for (int n = 1; n <= kShipEntries; ++n) {
    const EntryDesign& e = cat.entries[static_cast<size_t>(kMsEntries + n - 1)];
    cat.ships.push_back(MakeShipRecord(n, e, e.tier));
  }
  return cat;
}

}  // namespace

const Catalogue& TheCatalogue() {
  static const Catalogue catalogue = MakeCatalogue();
  return catalogue;
}

}  // namespace varsk::datagen
