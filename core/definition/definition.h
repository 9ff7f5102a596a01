// The update definition: the built-in description of the firmware release this
// program installs, one row per kind of drive, and the fields of the row that
// was selected for the drive now being updated.
//
// Text fields are fixed-width byte arrays, not necessarily zero-terminated when
// every byte is used; they are compared and copied with explicit lengths.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kelvaro {

inline constexpr int kDefRows = 8;      // rows of the definition table
inline constexpr int kOemStrRows = 16;  // OEM mark rows reserved (8 used)

// Row table.
extern char gFwFileA[kDefRows][128];       // firmware file name
extern char gOemStr[kOemStrRows][16];      // OEM mark; first 8 bytes used
extern char gVenderA[kDefRows][8];         // inquiry vendor, bytes 8-15
extern char gProductIdA[kDefRows][16];     // inquiry product, bytes 16-31
extern char gEnterKeyA[kDefRows][64];      // expected DVD-ROM model text
extern char gRevisionA[kDefRows][4];       // firmware revision text d.dd
extern char gRefCpuA[kDefRows][8];         // expected DVD-ROM CPU-type text
extern int gUpgTypeA[kDefRows];            // 0 kernel and normal part, 1 normal only
extern std::int32_t gFwSizeA[kDefRows];    // image size in bytes
extern int gModelA[kDefRows];              // model code; bits 12-15 the family
extern int gCautionA[kDefRows];            // ask before a one-way update
extern std::uint32_t gRelDateA[kDefRows];  // earliest image date, 0xYYYYMMDD

extern int gRefNum;              // rows in use
extern std::uint8_t gSelOemStr;  // row selected for the current drive
extern std::uint16_t gFwVer;     // version to install, 0x119 for 1.19

// Selected-row fields: the row of the current drive.
extern char gFwFile[128];
extern char gEnterKey[128];
extern char gVender[16];
extern char gProductId[16];
extern char gRevision[4];
extern char gRefCpu[16];
extern int gUpgType;
extern std::int32_t gFwSize;
extern int gModel;
extern int gCaution;

// Model families: the high nibble of a model code.
inline constexpr int kFamilyMask = 0xF000;
inline constexpr int kFamilyDvdrom = 0x0000;
inline constexpr int kFamilyDvdrw = 0x1000;

// The release's file name: "R5508771." and the version as three hexadecimal
// digits (0x119 gives R5508771.119).
void FormatReleaseFileName(char (&name)[128], std::uint16_t version);

// Clears the definition and fills the built-in row. Returns the row count (1).
int SetDefData();

// Makes row `row` the current drive's row: gSelOemStr = row and every row
// field copied into its selected-row field. Texts are copied up to their first
// zero byte (at most the row's width) and the rest of the field is zeroed.
void SelectDefRow(int row);

// One row as a test or the emulator describes it, to replace the built-in
// row. Texts longer than their field are cut to the field's width.
struct DefRow {
  std::string file;
  std::string oem;
  std::string vendor;
  std::string product;
  std::string enter_key;
  std::string revision;
  std::string ref_cpu;
  int upg_type = 0;
  std::int32_t fw_size = 0;
  int model = 0;
  int caution = 0;
  std::uint32_t rel_date = 0;
};

// Makes SetDefData fill `rows` (at most kDefRows) instead of the built-in
// row; nullptr goes back to the built-in row. The rows must outlive the run.
void SetDefinitionOverride(const std::vector<DefRow>* rows);

// Puts the whole definition back to its program-start state (all zero).
void ResetDefinition();

}  // namespace kelvaro
