#pragma once

namespace ui_test {

// A short export both windows' tests convert: the header line and two contacts.
inline constexpr const char* kExport =
    "DXCC,Call,Date,Time,End,Band,Mode,QRG,Name,Operator,Comment,QTH-Locator,QTH,RSTS,RSTS_NR,"
    "RSTR,RSTR_NR,QSLR,QSLS,QSL-Action,SPEZ,MY-QTH,Contest,QSL-Mgr,Region,WPX\r\n"
    "HB9,HB9XYZ/P,05.03.2000,05.03.2000 14:07:33,05.03.2000 14:09:00,20m,SSB,14.205,Urs,,"
    "\"nice, strong\",JN47AB,Hinterdorf,59,,57,,0,1,S,,,,,,HB9\r\n"
    "DL,DL7QQQ,06.03.2000,06.03.2000 08:15:02,06.03.2000 08:16:40,40m,CW,7.012,Gerd,,,JO62QM,"
    "Musterstadt,599,,579,,1,0,,,,,,,DL7\r\n";

}  // namespace ui_test
