#pragma once
// The BIFF record identifiers this program knows, listed once. The list feeds
// the identifier enum, the record names used in messages, and the reader's
// dispatch table (XLSReader.cpp), so a record is added or given a handler in
// exactly one place.
//
// X(Enumerator, Id, Name, Handler)
//   Handler is a member function of TXLSReader taking TBiffRecord&:
//   RecNone     recognised and skipped on purpose (no effect on the model, or
//               a record that only follows another record and is read by
//               that record's handler: STRING, SHRFMLA, ARRAY, DV, CONTINUE);
//   RecPending  a record the model will take but whose handler is not
//               written yet; it is skipped until then.
// An identifier missing from the list is skipped too, except that any
// identifier with 0x09 in its low byte is a BOF (BIFF2 to BIFF8 all use that).

#include <cstdint>

#define TABULON_BIFF_RECORDS(X)                                                                                       \
    /* Substreams and the workbook's sheet list. */                                                                   \
    X(brBOF2, 0x0009, "BOF", RecBOF)                                                                                   \
    X(brBOF3, 0x0209, "BOF", RecBOF)                                                                                   \
    X(brBOF4, 0x0409, "BOF", RecBOF)                                                                                   \
    X(brBOF, 0x0809, "BOF", RecBOF)                                                                                    \
    X(brEOF, 0x000A, "EOF", RecEOF)                                                                                    \
    X(brFILEPASS, 0x002F, "FILEPASS", RecFILEPASS)                                                                     \
    X(brBOUNDSHEET, 0x0085, "BOUNDSHEET", RecBOUNDSHEET)                                                               \
    X(brCONTINUE, 0x003C, "CONTINUE", RecNone)                                                                         \
    /* Workbook globals. */                                                                                           \
    X(brCALCMODE, 0x000D, "CALCMODE", RecPending)                                                                      \
    X(brPRECISION, 0x000E, "PRECISION", RecPending)                                                                    \
    X(brPROTECT, 0x0012, "PROTECT", RecNone)                                                                           \
    X(brPASSWORD, 0x0013, "PASSWORD", RecNone)                                                                         \
    X(brEXTERNCOUNT, 0x0016, "EXTERNCOUNT", RecPending)                                                                \
    X(brEXTERNSHEET, 0x0017, "EXTERNSHEET", RecPending)                                                                \
    X(brNAME, 0x0018, "NAME", RecPending)                                                                             \
    X(brNAME3, 0x0218, "NAME", RecPending)                                                                              \
    X(brWINDOWPROTECT, 0x0019, "WINDOWPROTECT", RecPending)                                                            \
    X(brDATEMODE, 0x0022, "DATEMODE", RecPending)                                                                      \
    X(brEXTERNNAME, 0x0023, "EXTERNNAME", RecPending)                                                                 \
    X(brEXTERNNAME3, 0x0223, "EXTERNNAME", RecPending)                                                                  \
    X(brFONT, 0x0031, "FONT", RecPending)                                                                             \
    X(brFONT3, 0x0231, "FONT", RecPending)                                                                              \
    X(brWINDOW1, 0x003D, "WINDOW1", RecPending)                                                                        \
    X(brBACKUP, 0x0040, "BACKUP", RecPending)                                                                          \
    X(brCODEPAGE, 0x0042, "CODEPAGE", RecCODEPAGE)                                                                      \
    X(brFILESHARING, 0x005B, "FILESHARING", RecPending)                                                                \
    X(brWRITEACCESS, 0x005C, "WRITEACCESS", RecPending)                                                                \
    X(brSAVERECALC, 0x005F, "SAVERECALC", RecPending)                                                                  \
    X(brCOUNTRY, 0x008C, "COUNTRY", RecPending)                                                                        \
    X(brHIDEOBJ, 0x008D, "HIDEOBJ", RecPending)                                                                        \
    X(brPALETTE, 0x0092, "PALETTE", RecPending)                                                                        \
    X(brBOOKBOOL, 0x00DA, "BOOKBOOL", RecPending)                                                                      \
    X(brXF, 0x00E0, "XF", RecPending)                                                                                  \
    X(brXF3, 0x0243, "XF", RecPending)                                                                                 \
    X(brXF4, 0x0443, "XF", RecPending)                                                                                 \
    X(brINTERFACEHDR, 0x00E1, "INTERFACEHDR", RecNone)                                                                 \
    X(brINTERFACEEND, 0x00E2, "INTERFACEEND", RecNone)                                                                 \
    X(brSST, 0x00FC, "SST", RecSST)                                                                                \
    X(brEXTSST, 0x00FF, "EXTSST", RecNone)                                                                             \
    X(brTABID, 0x013D, "TABID", RecNone)                                                                               \
    X(brUSESELFS, 0x0160, "USESELFS", RecNone)                                                                         \
    X(brDSF, 0x0161, "DSF", RecNone)                                                                                   \
    X(brSUPBOOK, 0x01AE, "SUPBOOK", RecPending)                                                                        \
    X(brPROT4REV, 0x01AF, "PROT4REV", RecPending)                                                                      \
    X(brREFRESHALL, 0x01B7, "REFRESHALL", RecPending)                                                                  \
    X(brPROT4REVPASS, 0x01BC, "PROT4REVPASS", RecNone)                                                                 \
    X(brSTYLE, 0x0293, "STYLE", RecPending)                                                                            \
    X(brFORMAT, 0x041E, "FORMAT", RecPending)                                                                          \
    /* Cell values. */                                                                                                \
    X(brDIMENSIONS2, 0x0000, "DIMENSIONS", RecDIMENSIONS)                                                                 \
    X(brDIMENSIONS, 0x0200, "DIMENSIONS", RecDIMENSIONS)                                                                  \
    X(brBLANK2, 0x0001, "BLANK", RecBLANK2)                                                                            \
    X(brINTEGER2, 0x0002, "INTEGER", RecINTEGER2)                                                                       \
    X(brNUMBER2, 0x0003, "NUMBER", RecNUMBER2)                                                                         \
    X(brLABEL2, 0x0004, "LABEL", RecLABEL2)                                                                           \
    X(brBOOLERR2, 0x0005, "BOOLERR", RecBOOLERR2)                                                                      \
    X(brFORMULA, 0x0006, "FORMULA", RecFORMULA)                                                                        \
    X(brFORMULA3, 0x0206, "FORMULA", RecFORMULA)                                                                       \
    X(brFORMULA4, 0x0406, "FORMULA", RecFORMULA)                                                                       \
    X(brSTRING2, 0x0007, "STRING", RecNone)                                                                            \
    X(brSTRING, 0x0207, "STRING", RecNone)                                                                             \
    X(brSHRFMLA, 0x00BC, "SHRFMLA", RecNone)                                                                          \
    X(brSHRFMLA4, 0x04BC, "SHRFMLA", RecNone)                                                                           \
    X(brARRAY, 0x0221, "ARRAY", RecNone)                                                                               \
    X(brRK_7E, 0x007E, "RK", RecRK)                                                                                 \
    X(brRK, 0x027E, "RK", RecRK)                                                                                  \
    X(brMULRK, 0x00BD, "MULRK", RecMULRK)                                                                            \
    X(brMULBLANK, 0x00BE, "MULBLANK", RecMULBLANK)                                                                      \
    X(brRSTRING, 0x00D6, "RSTRING", RecLABEL)                                                                        \
    X(brLABELSST, 0x00FD, "LABELSST", RecLABELSST)                                                                      \
    X(brBLANK, 0x0201, "BLANK", RecBLANK)                                                                            \
    X(brNUMBER, 0x0203, "NUMBER", RecNUMBER)                                                                          \
    X(brLABEL, 0x0204, "LABEL", RecLABEL)                                                                            \
    X(brBOOLERR, 0x0205, "BOOLERR", RecBOOLERR)                                                                        \
    /* Rows, columns, merged cells and sheet settings. */                                                             \
    X(brCALCCOUNT, 0x000C, "CALCCOUNT", RecPending)                                                                    \
    X(brREFMODE, 0x000F, "REFMODE", RecPending)                                                                        \
    X(brDELTA, 0x0010, "DELTA", RecPending)                                                                            \
    X(brITERATION, 0x0011, "ITERATION", RecPending)                                                                    \
    X(brHEADER, 0x0014, "HEADER", RecPending)                                                                          \
    X(brFOOTER, 0x0015, "FOOTER", RecPending)                                                                          \
    X(brVERTICALPAGEBREAKS, 0x001A, "VERTICALPAGEBREAKS", RecPending)                                                  \
    X(brHORIZONTALPAGEBREAKS, 0x001B, "HORIZONTALPAGEBREAKS", RecPending)                                              \
    X(brSELECTION, 0x001D, "SELECTION", RecNone)                                                                       \
    X(brLEFTMARGIN, 0x0026, "LEFTMARGIN", RecPending)                                                                  \
    X(brRIGHTMARGIN, 0x0027, "RIGHTMARGIN", RecPending)                                                                \
    X(brTOPMARGIN, 0x0028, "TOPMARGIN", RecPending)                                                                    \
    X(brBOTTOMMARGIN, 0x0029, "BOTTOMMARGIN", RecPending)                                                              \
    X(brPRINTHEADERS, 0x002A, "PRINTHEADERS", RecPending)                                                              \
    X(brPRINTGRIDLINES, 0x002B, "PRINTGRIDLINES", RecPending)                                                          \
    X(brPANE, 0x0041, "PANE", RecPending)                                                                              \
    X(brPLS, 0x004D, "PLS", RecNone)                                                                                   \
    X(brDEFCOLWIDTH, 0x0055, "DEFCOLWIDTH", RecPending)                                                                \
    X(brCOLINFO, 0x007D, "COLINFO", RecPending)                                                                        \
    X(brGUTS, 0x0080, "GUTS", RecPending)                                                                              \
    X(brWSBOOL, 0x0081, "WSBOOL", RecPending)                                                                          \
    X(brGRIDSET, 0x0082, "GRIDSET", RecPending)                                                                        \
    X(brHCENTER, 0x0083, "HCENTER", RecPending)                                                                        \
    X(brVCENTER, 0x0084, "VCENTER", RecPending)                                                                        \
    X(brSCL, 0x00A0, "SCL", RecPending)                                                                                \
    X(brSETUP, 0x00A1, "SETUP", RecPending)                                                                            \
    X(brMERGEDCELLS, 0x00E5, "MERGEDCELLS", RecPending)                                                                \
    X(brHLINK, 0x01B8, "HLINK", RecPending)                                                                            \
    X(brROW, 0x0208, "ROW", RecPending)                                                                                \
    X(brDEFAULTROWHEIGHT, 0x0225, "DEFAULTROWHEIGHT", RecPending)                                                      \
    X(brWINDOW2, 0x023E, "WINDOW2", RecPending)                                                                        \
    /* Data validations. */                                                                                           \
    X(brDVAL, 0x01B2, "DVAL", RecPending)                                                                              \
    X(brDV, 0x01BE, "DV", RecNone)                                                                                     \
    /* Drawing records. */                                                                                            \
    X(brNOTE, 0x001C, "NOTE", RecPending)                                                                              \
    X(brOBJ, 0x005D, "OBJ", RecPending)                                                                                \
    X(brMSODRAWINGGROUP, 0x00EB, "MSODRAWINGGROUP", RecPending)                                                        \
    X(brMSODRAWING, 0x00EC, "MSODRAWING", RecPending)                                                                  \
    X(brMSODRAWINGSELECTION, 0x00ED, "MSODRAWINGSELECTION", RecNone)                                                   \
    X(brTXO, 0x01B6, "TXO", RecNone)

enum TBiffRecordId : uint16_t {
#define TABULON_BIFF_ENUM(E, Id, Name, Handler) E = Id,
    TABULON_BIFF_RECORDS(TABULON_BIFF_ENUM)
#undef TABULON_BIFF_ENUM
};

#define TABULON_BIFF_ONE(E, Id, Name, Handler) +1
inline constexpr int BiffRecordCount = 0 TABULON_BIFF_RECORDS(TABULON_BIFF_ONE);
#undef TABULON_BIFF_ONE

// Substream types of the BOF record (16-bit word at body offset 2).
enum TBiffSubstream : uint16_t {
    bsGlobals = 0x0005,
    bsVBModule = 0x0006,
    bsWorksheet = 0x0010,
    bsChart = 0x0020,
    bsMacroSheet = 0x0040,
    bsWorkspace = 0x0100,
};

// True for the BOF of every BIFF version: 0x0009, 0x0209, 0x0409, 0x0809.
constexpr bool IsBOFId(uint16_t Id) { return (Id & 0xFF) == 0x09; }

// The record's name for messages and dumps ("BOUNDSHEET"), or nullptr when
// the identifier is not in the list.
constexpr const char* BiffRecordName(uint16_t Id)
{
    switch (Id) {
#define TABULON_BIFF_NAME(E, Id, Name, Handler)                                                                        \
    case Id:                                                                                                           \
        return Name;
        TABULON_BIFF_RECORDS(TABULON_BIFF_NAME)
#undef TABULON_BIFF_NAME
    }
    return nullptr;
}
