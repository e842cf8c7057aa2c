#include "ui/relink/frmScoring.h"

#include "uikit/desktop.h"

namespace orvanta {

frmScoring::frmScoring()
    : uikit::Form("frmScoring"),
      txtText(add<uikit::TextBox>("txtText", {120, 120, 7935, 5535})),
      cmdOk(add<uikit::CommandButton>("cmdOk", {120 + (7935 - 1215) / 2, 5775, 1215, 375})) {
  Caption = "How the Scoring System Works...";
  geometry = {0, 0, 8295, 6735};
  txtText.MultiLine = true;
  txtText.Locked = true;
  cmdOk.Caption = "&OK";
  cmdOk.Click = [this] { cmdOk_Click(); };
}

std::string frmScoring::scoringText() {
  const std::string crlf = uikit::vbCrLf;
  const std::string gap = crlf + crlf;
  return crlf +
         "Databases are scored according to thier 'likeness' to the missing linked (Back-end) "
         "database. There are 3 factors that combine to make up this score.  They are:" +
         gap + "1.  " +
         "Database Name (10 pts max.) - If the name exactly matches the missing database  "
         "('MyDB = 'MyDB) it will get 10 points.  If the name contains the name of the missing "
         "database ( 'Copy of MyDB' contains 'MyDB' ), it will receive 5 points." +
         gap + "2.  " +
         "Directory Path (10 pts max.) - If the relative path between the Front-end and the new "
         "database is the same as that of the Front-end and the missing database was it will "
         "receive 10 points.  For example: if the missing database was located in "
         "'C:\\MyDatabase\\Data' and the Front-end was located in 'C:\\MyDatabase', but, now the "
         "new database is in 'E:\\Testing\\Data' and he Front-end is now in 'E:\\Testing', the "
         "relative path would be the same and the new database would receive 10 points.  If the "
         "database is located in the same directory as the missing database was it will receive "
         "8 points.  If the database is in the same directory as your main (Front-end) database "
         "application it will receive 5 points." +
         gap + "3.  " +
         "Needed Tables (10 pts max.) - The tables in the new database are compared to the "
         "tables that were linked to the missing database. The point total is a percentage of "
         "the total tables needed (e.g. 8 out of 8 match = 10 pts, 4 out of 8 match = 5 pts, "
         "etc.)." +
         gap +
         "The points are then added together and the score is given as a percentage of the full "
         "30 points.  Note: 99% is the highest posible score, because a 100% match would not "
         "require a relink." +
         gap + "NOTE: 'Locked' indicates that the database is already opened in exclusive mode.";
}

void frmScoring::Form_Load() {
  try {
    txtText.Text = scoringText();
  } catch (...) {
  }
}

void frmScoring::cmdOk_Click() {
  Unload();
}

}  // namespace orvanta
