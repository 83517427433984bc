#pragma once

#include <cstdint>
#include <istream>
#include <stdexcept>
#include <string>
#include <vector>

// Firmware files in the Intel HEX format, as both processor families take them: read and checked
// whole before a single byte goes to a unit.
namespace familycommon {

enum HexRecordType : int {
  kHexData = 0,
  kHexEndOfFile = 1,
  // The maker's own use of type 3: which family the firmware is for.
  kHexModel = 3,
  kHexUpperAddress = 4,
};

struct HexRecord {
  int type = kHexData;
  uint16_t offset = 0;  // parsed but never sent: data follow one another from the upper address
  std::vector<uint8_t> data;
  int line = 0;  // counted from 1, as the messages name it
};

// More flash than a unit of either family has. No firmware runs past it, and a file that would is
// damaged or for another product.
inline constexpr std::size_t kMaxFlashBytes = 8 * 1024 * 1024;

// What one family makes of the format.
struct HexRules {
  // Data bytes of a model record: family code high and low, re-initialise flag, and on the newer
  // family the firmware version in tenths. Never fewer than those three.
  std::size_t modelRecordBytes = 4;
  // The most data bytes a record may carry: the unit takes each data record as one block. 0 for a
  // family that splits longer records itself.
  std::size_t maxDataBytes = 0;
  // The unit's flash: every data record must lie below it, at addresses that only go up.
  std::size_t flashBytes = kMaxFlashBytes;
};

// A firmware file fit for the unit: its records in file order, up to the first empty one.
struct Firmware {
  std::vector<HexRecord> records;
  bool reinitialise = false;
  // The version the last model record names, in tenths; 0 where the family's record has none.
  int versionTenths = 0;
  // Records the file holds after an empty data record, where the reading stops: the firmware is
  // cut short, and the user must hear of it before any of it is sent.
  int recordsCutOff = 0;
};

// Why a file is refused: the message and caption to show. A file the unit cannot read is an
// error; a readable one for another model is a warning.
class HexFileError : public std::runtime_error {
 public:
  enum class Severity { kError, kWarning };
  HexFileError(Severity severity, std::string caption, const std::string& text)
      : std::runtime_error(text), severity_(severity), caption_(std::move(caption)) {}
  Severity GetSeverity() const { return severity_; }
  const std::string& Caption() const { return caption_; }

 private:
  Severity severity_;
  std::string caption_;
};

// Reads records separated by blanks or line ends until the first record with no data bytes, then
// checks that they carry a model record and that every one names `unitFamilyCode`; the last model
// record's flag and version count. Throws HexFileError: naming the line for a bad record, a data
// record whose address wraps or lies beyond the flash, text after the end-of-file record, or a
// file that ends before the empty record; without a line for firmware of another model or a file
// larger than any firmware for the flash. The records after an empty data record are counted, not
// read.
Firmware ReadFirmware(std::istream& in, const HexRules& rules, uint32_t unitFamilyCode);

}  // namespace familycommon
