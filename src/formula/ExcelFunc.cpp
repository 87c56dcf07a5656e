#include "ExcelFunc.h"

#include <string>
#include <unordered_map>

// Rows marked "the operand count files store" hold the count spreadsheet
// software writes for the function's fixed-argument token (NA() has none,
// MID and ROUNDUP always carry three and two operands); a smaller MinArgs
// there would drop operands when such a token is decoded.
const std::array<TExcelFunctions, ExcelFunctionCount> ExcelFunctions = {{
    {1, 99, "COUNT"}, // 0
    {2, 3, "IF"}, // 1
    {1, 1, "ISNA"}, // 2
    {1, 1, "ISERROR"}, // 3
    {1, 99, "SUM"}, // 4
    {1, 99, "AVERAGE"}, // 5
    {1, 99, "MIN"}, // 6
    {1, 99, "MAX"}, // 7
    {0, 1, "ROW"}, // 8
    {0, 1, "COLUMN"}, // 9
    {0, 0, "NA"}, // 10: the operand count files store for its fixed-argument token
    {1, 99, "NPV"}, // 11
    {1, 99, "STDEV"}, // 12
    {1, 2, "DOLLAR"}, // 13
    {1, 3, "FIXED"}, // 14
    {1, 1, "SIN"}, // 15
    {1, 1, "COS"}, // 16
    {1, 1, "TAN"}, // 17
    {1, 1, "ATAN"}, // 18
    {0, 0, "PI"}, // 19
    {1, 1, "SQRT"}, // 20
    {1, 1, "EXP"}, // 21
    {1, 1, "LN"}, // 22
    {1, 1, "LOG10"}, // 23
    {1, 1, "ABS"}, // 24
    {1, 1, "INT"}, // 25
    {1, 1, "SIGN"}, // 26
    {2, 2, "ROUND"}, // 27
    {3, 3, "LOOKUP"}, // 28
    {1, 3, "INDEX"}, // 29
    {2, 2, "REPT"}, // 30
    {3, 3, "MID"}, // 31: the operand count files store for its fixed-argument token
    {1, 1, "LEN"}, // 32
    {1, 1, "VALUE"}, // 33
    {0, 0, "TRUE"}, // 34
    {0, 0, "FALSE"}, // 35
    {1, 99, "AND"}, // 36
    {1, 99, "OR"}, // 37
    {1, 1, "NOT"}, // 38
    {2, 2, "MOD"}, // 39
    {3, 3, "DCOUNT"}, // 40
    {3, 3, "DSUM"}, // 41
    {3, 3, "DAVERAGE"}, // 42
    {3, 3, "DMIN"}, // 43
    {3, 3, "DMAX"}, // 44
    {3, 3, "DSTDEV"}, // 45
    {1, 99, "VAR"}, // 46
    {3, 3, "DVAR"}, // 47
    {2, 2, "TEXT"}, // 48
    {1, 4, "LINEST"}, // 49
    {1, 4, "TREND"}, // 50
    {1, 4, "LOGEST"}, // 51
    {1, 4, "GROWTH"}, // 52
    {1, 1, "GOTO"}, // 53
    {1, 1, "HALT"}, // 54
    {1, 1, "RETURN"}, // 55
    {2, 5, "PV"}, // 56
    {2, 5, "FV"}, // 57
    {2, 5, "NPER"}, // 58
    {3, 5, "PMT"}, // 59
    {3, 5, "RATE"}, // 60
    {3, 3, "MIRR"}, // 61
    {1, 2, "IRR"}, // 62
    {0, 0, "RAND"}, // 63
    {2, 3, "MATCH"}, // 64
    {3, 3, "DATE"}, // 65
    {3, 3, "TIME"}, // 66
    {1, 1, "DAY"}, // 67
    {1, 1, "MONTH"}, // 68
    {1, 1, "YEAR"}, // 69
    {1, 2, "WEEKDAY"}, // 70
    {1, 1, "HOUR"}, // 71
    {1, 1, "MINUTE"}, // 72
    {1, 1, "SECOND"}, // 73
    {0, 0, "NOW"}, // 74
    {1, 1, "AREAS"}, // 75
    {1, 1, "ROWS"}, // 76
    {1, 1, "COLUMNS"}, // 77
    {2, 4, "OFFSET"}, // 78
    {1, 1, "ABSREF"}, // 79
    {1, 1, "RELREF"}, // 80
    {1, 1, "ARGUMENT"}, // 81
    {2, 3, "SEARCH"}, // 82
    {1, 1, "TRANSPOSE"}, // 83
    {1, 1, "ERROR"}, // 84
    {1, 1, "STEP"}, // 85
    {1, 1, "TYPE"}, // 86
    {1, 1, "ECHO"}, // 87
    {1, 1, "SET.NAME"}, // 88
    {1, 1, "CALLER"}, // 89
    {1, 1, "DEREF"}, // 90
    {1, 1, "WINDOWS"}, // 91
    {1, 1, "SERIES"}, // 92
    {1, 1, "DOCUMENTS"}, // 93
    {1, 1, "ACTIVE.CELL"}, // 94
    {1, 1, "SELECTION"}, // 95
    {1, 1, "RESULT"}, // 96
    {2, 2, "ATAN2"}, // 97
    {1, 1, "ASIN"}, // 98
    {1, 1, "ACOS"}, // 99
    {2, 99, "CHOOSE"}, // 100
    {3, 4, "HLOOKUP"}, // 101
    {3, 4, "VLOOKUP"}, // 102
    {1, 1, "LINKS"}, // 103
    {1, 1, "INPUT"}, // 104
    {1, 1, "ISREF"}, // 105
    {1, 1, "GET.FORMULA"}, // 106
    {1, 1, "GET.NAME"}, // 107
    {1, 1, "SET.VALUE"}, // 108
    {1, 2, "LOG"}, // 109
    {1, 1, "EXEC"}, // 110
    {1, 1, "CHAR"}, // 111
    {1, 1, "LOWER"}, // 112
    {1, 1, "UPPER"}, // 113
    {1, 1, "PROPER"}, // 114
    {1, 2, "LEFT"}, // 115
    {1, 2, "RIGHT"}, // 116
    {2, 2, "EXACT"}, // 117
    {1, 1, "TRIM"}, // 118
    {4, 4, "REPLACE"}, // 119
    {3, 4, "SUBSTITUTE"}, // 120
    {1, 1, "CODE"}, // 121
    {1, 1, "NAMES"}, // 122
    {1, 1, "DIRECTORY"}, // 123
    {2, 3, "FIND"}, // 124
    {2, 2, "CELL"}, // 125
    {1, 1, "ISERR"}, // 126
    {1, 1, "ISTEXT"}, // 127
    {1, 1, "ISNUMBER"}, // 128
    {1, 1, "ISBLANK"}, // 129
    {1, 1, "T"}, // 130
    {1, 1, "N"}, // 131
    {1, 1, "FOPEN"}, // 132
    {1, 1, "FCLOSE"}, // 133
    {1, 1, "FSIZE"}, // 134
    {1, 1, "FREADLN"}, // 135
    {1, 1, "FREAD"}, // 136
    {1, 1, "FWRITELN"}, // 137
    {1, 1, "FWRITE"}, // 138
    {1, 1, "FPOS"}, // 139
    {1, 1, "DATEVALUE"}, // 140
    {1, 1, "TIMEVALUE"}, // 141
    {3, 3, "SLN"}, // 142
    {4, 4, "SYD"}, // 143: the operand count files store for its fixed-argument token
    {3, 5, "DDB"}, // 144
    {1, 1, "GET.DEF"}, // 145
    {1, 1, "REFTEXT"}, // 146
    {1, 1, "TEXTREF"}, // 147
    {1, 2, "INDIRECT"}, // 148
    {1, 3, "REGISTER"}, // 149
    {1, 99, "CALL"}, // 150
    {1, 1, "ADD.BAR"}, // 151
    {1, 1, "ADD.MENU"}, // 152
    {1, 1, "ADD.COMMAND"}, // 153
    {1, 1, "ENABLE.COMMAND"}, // 154
    {1, 1, "CHECK.COMMAND"}, // 155
    {1, 1, "RENAME.COMMAND"}, // 156
    {1, 1, "SHOW.BAR"}, // 157
    {1, 1, "DELETE.MENU"}, // 158
    {1, 1, "DELETE.COMMAND"}, // 159
    {1, 1, "GET.CHART.ITEM"}, // 160
    {1, 1, "DIALOG.BOX"}, // 161
    {1, 1, "CLEAN"}, // 162
    {1, 1, "MDETERM"}, // 163
    {1, 1, "MINVERSE"}, // 164
    {2, 2, "MMULT"}, // 165: the operand count files store for its fixed-argument token
    {1, 1, "FILES"}, // 166
    {4, 6, "IPMT"}, // 167
    {4, 6, "PPMT"}, // 168
    {1, 99, "COUNTA"}, // 169
    {1, 1, "CANCEL.KEY"}, // 170
    {1, 1, "FOR"}, // 171
    {1, 1, "WHILE"}, // 172
    {1, 1, "BREAK"}, // 173
    {1, 1, "NEXT"}, // 174
    {1, 1, "INITIATE"}, // 175
    {1, 1, "REQUEST"}, // 176
    {1, 1, "POKE"}, // 177
    {1, 1, "EXECUTE"}, // 178
    {1, 1, "TERMINATE"}, // 179
    {1, 1, "RESTART"}, // 180
    {1, 1, "HELP"}, // 181
    {1, 1, "GET.BAR"}, // 182
    {1, 99, "PRODUCT"}, // 183
    {1, 1, "FACT"}, // 184
    {1, 1, "GET.CELL"}, // 185
    {1, 1, "GET.WORKSPACE"}, // 186
    {1, 1, "GET.WINDOW"}, // 187
    {1, 1, "GET.DOCUMENT"}, // 188
    {3, 3, "DPRODUCT"}, // 189
    {1, 1, "ISNONTEXT"}, // 190
    {1, 1, "GET.NOTE"}, // 191
    {1, 1, "NOTE"}, // 192
    {1, 99, "STDEVP"}, // 193
    {1, 99, "VARP"}, // 194
    {3, 3, "DSTDEVP"}, // 195
    {3, 3, "DVARP"}, // 196
    {1, 2, "TRUNC"}, // 197
    {1, 1, "ISLOGICAL"}, // 198
    {3, 3, "DCOUNTA"}, // 199
    {1, 1, "DELETE.BAR"}, // 200
    {1, 1, "UNREGISTER"}, // 201
    {1, 1, "202"}, // 202
    {1, 1, "203"}, // 203
    {1, 1, "USDOLLAR"}, // 204
    {1, 1, "FINDB"}, // 205
    {1, 1, "SEARCHB"}, // 206
    {4, 4, "REPLACEB"}, // 207: the operand count files store for its fixed-argument token
    {1, 1, "LEFTB"}, // 208
    {1, 1, "RIGHTB"}, // 209
    {3, 3, "MIDB"}, // 210: the operand count files store for its fixed-argument token
    {1, 1, "LENB"}, // 211
    {2, 2, "ROUNDUP"}, // 212: the operand count files store for its fixed-argument token
    {2, 2, "ROUNDDOWN"}, // 213: the operand count files store for its fixed-argument token
    {1, 1, "ASC"}, // 214
    {1, 1, "DBCS"}, // 215
    {2, 3, "RANK"}, // 216
    {1, 1, "217"}, // 217
    {1, 1, "218"}, // 218
    {2, 5, "ADDRESS"}, // 219
    {2, 3, "DAYS360"}, // 220
    {0, 0, "TODAY"}, // 221
    {5, 7, "VDB"}, // 222
    {1, 1, "ELSE"}, // 223
    {1, 1, "ELSE.IF"}, // 224
    {1, 1, "END.IF"}, // 225
    {1, 1, "FOR.CELL"}, // 226
    {1, 99, "MEDIAN"}, // 227
    {2, 99, "SUMPRODUCT"}, // 228
    {1, 1, "SINH"}, // 229
    {1, 1, "COSH"}, // 230
    {1, 1, "TANH"}, // 231
    {1, 1, "ASINH"}, // 232
    {1, 1, "ACOSH"}, // 233
    {1, 1, "ATANH"}, // 234
    {3, 3, "DGET"}, // 235
    {1, 1, "CREATE.OBJECT"}, // 236
    {1, 1, "VOLATILE"}, // 237
    {1, 1, "LAST.ERROR"}, // 238
    {1, 1, "CUSTOM.UNDO"}, // 239
    {1, 1, "CUSTOM.REPEAT"}, // 240
    {1, 1, "FORMULA.CONVERT"}, // 241
    {1, 1, "GET.LINK.INFO"}, // 242
    {1, 1, "TEXT.BOX"}, // 243
    {1, 1, "INFO"}, // 244
    {1, 1, "GROUP"}, // 245
    {1, 1, "GET.OBJECT"}, // 246
    {4, 5, "DB"}, // 247
    {1, 1, "PAUSE"}, // 248
    {1, 1, "249"}, // 249
    {1, 1, "250"}, // 250
    {1, 1, "RESUME"}, // 251
    {2, 2, "FREQUENCY"}, // 252
    {1, 1, "ADD.TOOLBAR"}, // 253
    {1, 1, "DELETE.TOOLBAR"}, // 254
    {1, 1, "255"}, // 255
    {1, 1, "RESET.TOOLBAR"}, // 256
    {1, 1, "EVALUATE"}, // 257
    {1, 1, "GET.TOOLBAR"}, // 258
    {1, 1, "GET.TOOL"}, // 259
    {1, 1, "SPELLING.CHECK"}, // 260
    {1, 1, "ERROR.TYPE"}, // 261
    {1, 1, "APP.TITLE"}, // 262
    {1, 1, "WINDOW.TITLE"}, // 263
    {1, 1, "SAVE.TOOLBAR"}, // 264
    {1, 1, "ENABLE.TOOL"}, // 265
    {1, 1, "PRESS.TOOL"}, // 266
    {1, 1, "REGISTER.ID"}, // 267
    {1, 1, "GET.WORKBOOK"}, // 268
    {1, 99, "AVEDEV"}, // 269
    {3, 5, "BETADIST"}, // 270
    {1, 1, "GAMMALN"}, // 271
    {1, 1, "BETAINV"}, // 272
    {4, 4, "BINOMDIST"}, // 273: the operand count files store for its fixed-argument token
    {2, 2, "CHIDIST"}, // 274: the operand count files store for its fixed-argument token
    {2, 2, "CHIINV"}, // 275
    {2, 2, "COMBIN"}, // 276
    {3, 3, "CONFIDENCE"}, // 277
    {3, 3, "CRITBINOM"}, // 278
    {1, 1, "EVEN"}, // 279
    {3, 3, "EXPONDIST"}, // 280
    {3, 3, "FDIST"}, // 281
    {3, 3, "FINV"}, // 282
    {1, 1, "FISHER"}, // 283
    {1, 1, "FISHERINV"}, // 284
    {2, 2, "FLOOR"}, // 285
    {4, 4, "GAMMADIST"}, // 286
    {3, 3, "GAMMAINV"}, // 287
    {2, 2, "CEILING"}, // 288
    {4, 4, "HYPGEOMDIST"}, // 289
    {3, 3, "LOGNORMDIST"}, // 290
    {3, 3, "LOGINV"}, // 291
    {3, 3, "NEGBINOMDIST"}, // 292
    {4, 4, "NORMDIST"}, // 293
    {1, 1, "NORMSDIST"}, // 294
    {3, 3, "NORMINV"}, // 295
    {1, 1, "NORMSINV"}, // 296
    {3, 3, "STANDARDIZE"}, // 297: the operand count files store for its fixed-argument token
    {1, 1, "ODD"}, // 298
    {2, 2, "PERMUT"}, // 299
    {3, 3, "POISSON"}, // 300
    {3, 3, "TDIST"}, // 301
    {4, 4, "WEIBULL"}, // 302
    {2, 2, "SUMXMY2"}, // 303
    {2, 2, "SUMX2MY2"}, // 304
    {2, 2, "SUMX2PY2"}, // 305
    {2, 2, "CHITEST"}, // 306
    {2, 2, "CORREL"}, // 307
    {2, 2, "COVAR"}, // 308
    {3, 3, "FORECAST"}, // 309
    {2, 2, "FTEST"}, // 310
    {2, 2, "INTERCEPT"}, // 311
    {2, 2, "PEARSON"}, // 312
    {2, 2, "RSQ"}, // 313
    {2, 2, "STEYX"}, // 314
    {2, 2, "SLOPE"}, // 315
    {4, 4, "TTEST"}, // 316
    {3, 4, "PROB"}, // 317
    {1, 99, "DEVSQ"}, // 318
    {1, 99, "GEOMEAN"}, // 319
    {1, 99, "HARMEAN"}, // 320
    {1, 99, "SUMSQ"}, // 321
    {1, 99, "KURT"}, // 322
    {1, 99, "SKEW"}, // 323
    {2, 3, "ZTEST"}, // 324
    {2, 2, "LARGE"}, // 325
    {2, 2, "SMALL"}, // 326
    {2, 2, "QUARTILE"}, // 327
    {2, 2, "PERCENTILE"}, // 328
    {2, 3, "PERCENTRANK"}, // 329
    {1, 99, "MODE"}, // 330
    {2, 2, "TRIMMEAN"}, // 331
    {2, 2, "TINV"}, // 332
    {1, 1, "333"}, // 333
    {1, 1, "MOVIE.COMMAND"}, // 334
    {1, 1, "GET.MOVIE"}, // 335
    {1, 99, "CONCATENATE"}, // 336
    {2, 2, "POWER"}, // 337
    {1, 1, "PIVOT.ADD.DATA"}, // 338
    {1, 1, "GET.PIVOT.TABLE"}, // 339
    {1, 1, "GET.PIVOT.FIELD"}, // 340
    {1, 1, "GET.PIVOT.ITEM"}, // 341
    {1, 1, "RADIANS"}, // 342
    {1, 1, "DEGREES"}, // 343
    {2, 99, "SUBTOTAL"}, // 344
    {2, 3, "SUMIF"}, // 345
    {2, 2, "COUNTIF"}, // 346
    {1, 1, "COUNTBLANK"}, // 347
    {1, 1, "SCENARIO.GET"}, // 348
    {1, 1, "OPTIONS.LISTS.GET"}, // 349
    {4, 4, "ISPMT"}, // 350: the operand count files store for its fixed-argument token
    {3, 3, "DATEDIF"}, // 351: the operand count files store for its fixed-argument token
    {1, 1, "DATESTRING"}, // 352
    {2, 2, "NUMBERSTRING"}, // 353: the operand count files store for its fixed-argument token
    {1, 2, "ROMAN"}, // 354
    {1, 1, "OPEN.DIALOG"}, // 355
    {1, 1, "SAVE.DIALOG"}, // 356
    {1, 1, "VIEW.GET"}, // 357
    {2, 99, "GETPIVOTDATA"}, // 358
    {1, 2, "HYPERLINK"}, // 359
    {1, 1, "PHONETIC"}, // 360
    {1, 99, "AVERAGEA"}, // 361
    {1, 99, "MAXA"}, // 362
    {1, 99, "MINA"}, // 363
    {1, 99, "STDEVPA"}, // 364
    {1, 99, "VARPA"}, // 365
    {1, 99, "STDEVA"}, // 366
    {1, 99, "VARA"}, // 367
}};

int FindExcelFunction(std::string_view Name)
{
    // Built once; emplace keeps the first (lowest) number for a repeated name.
    static const std::unordered_map<std::string_view, int> ByName = [] {
        std::unordered_map<std::string_view, int> Map;
        Map.reserve(ExcelFunctionCount);
        for (int I = 0; I < ExcelFunctionCount; ++I)
            Map.emplace(ExcelFunctions[I].Name, I);
        return Map;
    }();
    std::string Upper(Name);
    for (char& C : Upper)
        if (C >= 'a' && C <= 'z')
            C = static_cast<char>(C - 'a' + 'A');
    auto It = ByName.find(Upper);
    return It == ByName.end() ? -1 : It->second;
}
