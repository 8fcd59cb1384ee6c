// Shift-JIS texts and face names used by several test files, as the
// program passes them.
#pragma once

#define SJIS_2003_NEN_1_GATSU "2003\x94N\x82P\x8C\x8E"                         // 2003年１月
#define SJIS_YOUBI "\x93\xFA\x8C\x8E\x89\xCE\x90\x85\x96\xD8\x8B\xE0\x93y"     // 日月火水木金土
#define SJIS_INSATSU "\x88\xF3\x8D\xFC"                                         // 印刷
#define SJIS_SHUURYOU "\x8FI\x97\xB9"                                           // 終了
#define SJIS_NICHI "\x93\xFA"                                                   // 日
#define SJIS_NAKAGURO "\x81" "E"                                                // ・
#define FACE_NAKAMARU "\x82" "c\x82" "e\x92\x86\x8A\xDB\x83S\x83V\x83" "b\x83N\x91\xCC"  // ＤＦ中丸ゴシック体
#define FACE_HOSOMARU "\x82" "c\x82" "e\x8D\xD7\x8A\xDB\x83S\x83V\x83" "b\x83N\x91\xCC"  // ＤＦ細丸ゴシック体
#define FACE_GOTHIC "\x82l\x82r \x83S\x83V\x83" "b\x83N"                        // ＭＳ ゴシック
#define FACE_ARIAL "Arial"
#define FACE_MINCHO "MSMINCHO"
