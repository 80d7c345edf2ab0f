#include "xml_output.h"

#include <cstdint>

namespace standins {
namespace {

// The symbologies whose decoder configuration holds EMIT_CHECK by default
// (zbar/decoder.c), which 0.23 writes as configs='EMIT_CHECK'.
bool emits_check(std::string_view name) {
  for (const std::string_view emitting : {"EAN-13", "EAN-8", "UPC-A", "UPC-E", "ISBN-10", "ISBN-13", "DataBar",
                                          "DataBar-Exp"})
    if (name == emitting) return true;
  return false;
}

// zbar_symbol_xml of 0.23: what it writes in base64 instead of as it is.
bool needs_base64(std::string_view data) {
  const auto byte = [&](std::size_t i) { return i < data.size() ? static_cast<unsigned char>(data[i]) : 0u; };
  if ((byte(0) == 0xFF && byte(1) == 0xFE) || (byte(0) == 0xFE && byte(1) == 0xFF) || data.starts_with("<?xml"))
    return true;
  for (std::size_t i = 0; i < data.size(); ++i) {
    const unsigned c = byte(i);
    if ((c < 0x20 && c != '\t' && c != '\n' && c != '\r') || (c >= 0x7F && c < 0xA0) ||
        (c == ']' && i + 2 < data.size() && data[i + 1] == ']' && data[i + 2] == '>'))
      return true;
  }
  return false;
}

// base64_encode of zbar/symbol.c: 19 groups a line, a line end after the last
// (two when the last line is full). It reads the data as plain char, signed on
// Windows: a byte of 0x80 or more is sign-extended over the bytes before it in
// its group, which so come out as 0xFF.
std::string zbar_base64(std::string_view data) {
  static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  const auto widened = [](char c) {
    return static_cast<std::uint32_t>(static_cast<std::int32_t>(static_cast<signed char>(c)));
  };
  std::string text;
  int line_groups = 19;
  for (std::size_t at = 0, left = data.size(); left != 0; at += 3, left -= 3) {
    std::uint32_t group = widened(data[at]) << 16;
    if (left > 1) group |= widened(data[at + 1]) << 8;
    if (left > 2) group |= widened(data[at + 2]);
    text += kAlphabet[group >> 18 & 0x3F];
    text += kAlphabet[group >> 12 & 0x3F];
    text += left > 1 ? kAlphabet[group >> 6 & 0x3F] : '=';
    text += left > 2 ? kAlphabet[group & 0x3F] : '=';
    if (left < 3) break;
    if (--line_groups == 0) {
      text += '\n';
      line_groups = 19;
    }
  }
  return text + '\n';
}

std::string old_symbol(const Symbol& symbol) {
  // 0.10's XML names the symbology without the add-on suffix and cuts the text at a NUL.
  std::string_view name = symbol.name;
  if (name.ends_with("+2") || name.ends_with("+5")) name.remove_suffix(2);
  return "<symbol type='" + std::string(name) + "' quality='1'><data><![CDATA[" +
         symbol.data.substr(0, symbol.data.find('\0')) + "]]></data></symbol>";
}

std::string new_symbol(const Symbol& symbol) {
  std::string xml = "<symbol type='" + symbol.name + "' quality='1' orientation='UP'";
  if (!symbol.modifiers.empty()) xml += " modifiers='" + symbol.modifiers + "'";
  if (emits_check(symbol.name)) xml += " configs='EMIT_CHECK'";
  xml += "><data";
  if (!needs_base64(symbol.data)) return xml + "><![CDATA[" + symbol.data + "]]></data></symbol>";
  xml += " format='base64' length='" + std::to_string(symbol.data.size()) + "'><![CDATA[\n";
  return xml + zbar_base64(symbol.data) + "]]></data></symbol>";
}

}  // namespace

XmlForm xml_form_of(std::string_view version) {
  return version == "0.10" ? XmlForm::ZBar010 : XmlForm::ZBar023;
}

std::string xml_header(std::string_view device) {
  return "<barcodes xmlns='http://zbar.sourceforge.net/2008/barcode'><source device='" + std::string(device) + "'>\n";
}

std::string xml_frame(XmlForm form, std::uint32_t index, const std::vector<Symbol>& symbols) {
  std::string xml = "<index num='" + std::to_string(index) + "'>\n";
  for (const Symbol& symbol : symbols) xml += (form == XmlForm::ZBar010 ? old_symbol(symbol) : new_symbol(symbol)) + "\n";
  return xml + "</index>\n";
}

}  // namespace standins
