#include "charset_corpus_texts.h"
#include <stdexcept>
#include <string_view>
#include <utility>
#include "core/utf8.h"
#include "reference_utf8.h"

namespace torvane::corpus {
namespace {

using Charset = CharsetEncoder::Charset;

// Common simplified characters, sliced into texts of many lengths.
constexpr std::string_view kChinesePool =
    "的一是不了人我在有他这为之大来以个中上们到说国和地也子时道出而要于就下得可你年生自会那后能对着事其里所去行"
    "过家十用发天如然作方成者多日都三小军二无同么经法当起与好看学进种将还分此心前面又定见只主没公从知使意长把总"
    "但身正电明门间样体已王情高力平理全果实东数动物现感外期名机工两海本水给化新问比通重手次位内加产口合解文安回"
    "路美先战常开少性品务第认条利写价格连夫订单购买商店支付宝微信扫码登录注册密码用户地址电话号码邮箱快递包裹"
    "红色蓝绿黄黑白大中小号尺寸数量总计优惠券折扣会员积分欢迎光临谢谢惠顾请稍等确认取消返回首页设置帮助关于";

constexpr std::string_view kJapanesePool =
    "あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもやゆよらりるれろわをんアイウエオカキク"
    "ケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤユヨラリルレロワヲン日本語東京大阪京都駅表示能力申込"
    "鶴亀燕碗蟹鰻薔薇鬱麒麟琵琶瓢箪饂飩蝋燭漢字仮名商品価格円税込送料無料会社株式営業時間曜日月火水木金土";

constexpr std::string_view kTraditionalPool =
    "的一是不了人我在有他這為之大來以個中上們到說國和地也子時道出而要於就下得可你年生自會那後能對著事其裡所去行"
    "過家十用發天如然作方成者多日都三小軍二無同麼經法當起與好看學進種將還分此心前面又定見只主沒公從知使意長把總"
    "價格連訂單購買商店支付登錄註冊密碼用戶地址電話號碼紅色藍綠黃黑白數量總計優惠會員積分歡迎光臨謝謝確認取消返回";

// `count` slices of `pool`, of lengths cycling through `lengths`, starting at
// spread-out places.
std::vector<std::string> Slices(std::string_view pool, std::size_t count, std::initializer_list<std::size_t> lengths) {
  const std::u32string chars = DecodeUtf8Lossy(pool);
  const std::vector<std::size_t> cycle(lengths);
  std::vector<std::string> texts;
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t length = cycle[i % cycle.size()];
    const std::size_t start = (i * 37) % (chars.size() - length);
    texts.push_back(fuzz::EncodeUtf8(std::u32string_view(chars).substr(start, length)));
  }
  return texts;
}

class Builder {
 public:
  explicit Builder(CharsetEncoder& encoder) : encoder_(encoder) {}

  void Utf8(const std::string& group, const std::vector<std::string>& texts) {
    for (const auto& text : texts) texts_.push_back({group, text, text, Expectation::Utf8Right});
  }
  void Encoded(const std::string& group, Charset charset, const std::vector<std::string>& texts) {
    for (const auto& text : texts) {
      const auto bytes = encoder_.Encode(text, charset);
      if (!bytes) throw std::runtime_error("corpus text has no encoding in its own set: " + text);
      texts_.push_back({group, *bytes, text, Expectation::Untouched});
    }
  }
  void Latin1Probe(const std::string& group, const std::vector<std::string>& texts) {
    for (const auto& text : texts) {
      texts_.push_back({group, *encoder_.Encode(text, Charset::Latin1), text, Expectation::Reported});
    }
  }
  std::vector<CorpusText> Take() { return std::move(texts_); }

 private:
  CharsetEncoder& encoder_;
  std::vector<CorpusText> texts_;
};

const std::vector<std::string> kJapanesePhrases = {
    "こんにちは", "ありがとうございます", "日本語のテキスト", "東京都渋谷区", "お問い合わせ", "カタカナ", "ｶﾀｶﾅ",
    "株式会社テスト", "価格：１，０００円", "〒100-0001 東京都千代田区", "すし", "漢字と仮名", "商品コード",
    "次のページへ", "ご注文ありがとうございました", "新幹線", "東京駅", "北海道", "大阪", "富士山", "桜", "令和",
    "ラーメン", "ソフトウェア", "表示", "能力", "申し込み", "ダウンロード", "ポイント", "鶴亀", "薔薇", "麒麟",
};

const std::vector<std::string> kTraditionalPhrases = {
    "繁體中文", "臺灣", "香港特別行政區", "謝謝你", "電腦", "資訊", "歡迎光臨", "國語", "學習", "網路", "許功蓋",
};

}  // namespace

std::vector<CorpusText> CorpusTexts(CharsetEncoder& encoder) {
  Builder corpus(encoder);
  corpus.Utf8("Chinese, short", Slices(kChinesePool, 160, {1, 2, 2, 3, 4, 5, 6, 8}));
  corpus.Utf8("Chinese, long", Slices(kChinesePool, 20, {12, 20, 33, 50, 80}));
  corpus.Utf8("Chinese, phrases", {"们学", "连夫", "你好", "价格", "中文测试", "欢迎使用", "扫码支付", "谢谢"});
  corpus.Utf8("Traditional Chinese", kTraditionalPhrases);
  corpus.Utf8("Japanese", kJapanesePhrases);
  corpus.Utf8("Japanese, generated", Slices(kJapanesePool, 30, {1, 2, 3, 4, 6}));
  corpus.Utf8("European", {"café", "Größe", "naïve", "façade", "smörgåsbord", "Ærøskøbing", "Zażółć gęślą jaźń",
                           "Příliš žluťoučký kůň", "İstanbul", "Ελληνικά", "Русский текст", "Tiếng Việt",
                           "crème brûlée", "Ñandú", "São Paulo", "Øresund", "fiancée", "Déjà vu", "Straße",
                           "Œuvre", "ça va", "über", "élève"});
  corpus.Utf8("Euro and symbols", {"€100", "9,99 €", "€", "Preis: 12,50 €", "£20", "¥500", "©2024", "™", "±0.5 mm",
                                   "→ next", "•item", "½ cup", "°C", "§3"});
  corpus.Utf8("Emoji", {"😀", "OK 👍", "🎉🎂", "❤️", "日本🗾", "👨‍👩‍👧", "🚀 launch", "✔ done"});
  corpus.Utf8("ASCII", {"hello", "https://example.com/a?b=1&c=2", "WIFI:S:MyNet;T:WPA;P:secret;;",
                        "C:\\path\\file.txt", "~/docs", "12345678", "MECARD:N:Doe,John;TEL:123;;", "a:b:c", " x ",
                        "`quoted`", "{\"k\":\"v\"}", "line | pipe"});
  corpus.Utf8("Mixed", {"价格: ¥100", "订单#123 ok", "路径\\文件", "Tokyo 東京 2024", "naïve 中文", "SKU-8841 红色 L",
                        "café 咖啡", "温度 25°C", "Email: 张三@example.com", "第1名 🏆", "数量×2", "价格€5",
                        "丁`", "中\\", "~中~"});
  corpus.Encoded("Japanese in Shift-JIS", Charset::ShiftJis, kJapanesePhrases);
  corpus.Encoded("Japanese in Shift-JIS, generated", Charset::ShiftJis, Slices(kJapanesePool, 150, {1, 2, 3, 4, 6}));
  corpus.Encoded("Traditional Chinese in Big5", Charset::Big5, kTraditionalPhrases);
  corpus.Encoded("Traditional Chinese in Big5, generated", Charset::Big5,
                 Slices(kTraditionalPool, 80, {1, 2, 3, 4, 6}));
  corpus.Encoded("Latin-1", Charset::Latin1,
                 {"café", "Größe", "naïve", "£5", "¿Qué?", "año", "déjà vu", "Ørsted", "100°", "für", "été"});
  // Latin-1 whose bytes are also UTF-8: the repair reads them as UTF-8.
  corpus.Latin1Probe("Latin-1 that is also UTF-8", {"Ã©", "Ã¼ber", "Ã¶l", "Â°C"});
  return corpus.Take();
}

}  // namespace torvane::corpus
