// The database window: registering originals and modified files and
// browsing the stored ones, each activity on a work panel of its own below
// the top bar. It is closed only through "Chiudi" (result 1); Escape and the
// window manager cannot close it.
//
// What the key's data means and every change to it come from db/key/; a
// handler reads its widgets, makes one call there and shows its outcome.
// Texts read from the database are Windows-1252 bytes and are converted
// where they enter or leave the widgets (app/kit).
// Handlers are public so that tests and the main window can drive the real
// window.
#pragma once

#include <QDialog>
#include <QIcon>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/kit/CommandLock.h"
#include "app/kit/ListImages.h"

namespace Ui {
class TForm2;
}
class QComboBox;
class QMenu;
class QTreeWidget;
class QTreeWidgetItem;
namespace keydb {
class KeyDatabase;
struct ChosenFile;
struct DriverRow;
struct OriginalRow;
struct StoredFile;
enum class Registration;
enum class Deletion;
}  // namespace keydb

class TForm2 : public QDialog {
  Q_OBJECT

 public:
  // Data roles of the list rows (app/kit/ListImages.h): the image index (0
  // red, 1 green) and, in DrvList, the user-driver mark (valid only for a
  // user driver); in the originals lists, the original's MD5 text as the
  // search found it.
  static constexpr int kImageRole = kit::kImageRole;
  static constexpr int kUserDriverRole = kit::kUserDriverRole;
  static constexpr int kOriginalMd5Role = kit::kOriginalMd5Role;

  explicit TForm2(QWidget* parent = nullptr);
  ~TForm2() override;

  Ui::TForm2* ui() const { return ui_.get(); }

  // Stores keyRoot ("E:\ZKM_Quorvane\") and fills the brand lists and the
  // help texts. Must run before the window is shown. Database failures are
  // thrown (DbException).
  void SetupWindow(const std::string& keyRoot);

  void FillDriverBrands();
  void FillRegisteredBrands();
  void HideWorkPanels();
  void ResetIdentificationPanel();

  // Descriptions the earlier product keeps for a file name (no folder);
  // empty when it has none.
  QString LegacyIniDescription(const QString& fileName) const;
  QString LegacyFileDescription(const QString& fileName);

  // Top bar and Pnl_ORI1.
  void BTN_DB_ORIClick();
  void BTN_DB_MODClick();
  void BTN_DB_EXPORTClick();
  void Button1Click();
  void MarcaCBChange();
  void BTN_DB_openoriClick();
  void BTN_Drv_SearchClick();
  void BTN_BreakClick();
  void CBIgnoreMD5Click();

  // Refills DrvList from the drivers whose fingerprint the content has (or,
  // in a manual search, from the chosen brand and model).
  void SearchDrivers(const unsigned char* data, std::uint64_t size);
  // Whether an original (modified false) or a modified file (true) with
  // this MD5 text is registered.
  bool IsAlreadyRegistered(const std::string& md5, bool modified);

  // The shared sort of the four lists.
  void DrvListColumnClick(QTreeWidget* list, int column);
  int DrvListCompare(QTreeWidget* list, QTreeWidgetItem* a, QTreeWidgetItem* b) const;

  // The list images: 0 red thumbs-down, 1 green thumbs-up.
  QIcon ListImage(int index) const;
  static int RowImage(const QTreeWidgetItem* row);

  const std::string& keyRoot() const { return KeyRoot; }
  const std::string& originalDigest() const { return OriginalDigest; }
  // The original picked with "Apri ORI": what "Cerca Driver" and
  // "Registra Originale" act on. Changes only with OriginalDigest.
  const QString& chosenOriginal() const { return ChosenOriginalPath; }
  int sortColumn() const { return SortColumn; }
  bool sortDescending() const { return SortDescending; }
  bool searching() const { return commands_.busy(); }

  // Escape and window-manager close requests are ignored.
  void reject() override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  // The whole file the user chose; an unreadable one ends the command
  // (std::runtime_error, for the general error report).
  static std::vector<unsigned char> LoadWholeFile(const QString& path);
  // Every command of the window but "Interrompi ", for a CommandLock.
  std::vector<QWidget*> Commands();
  void FillHelpTexts();
  // The models of the registered originals of the brand a brand list shows
  // (none for its first entry); the models list and the search command are
  // enabled when a brand is chosen.
  void FillRegisteredModels(QComboBox* brands, QComboBox* models, QWidget* search);
  void SetupList(QTreeWidget* list, const int* widths, int columns, int hiddenColumn);
  // A DrvList row for a driver, not yet in the list.
  QTreeWidgetItem* DriverListRow(const keydb::DriverRow& driver);
  // One row of the originals lists (OriList, DBListORI).
  void AddOriginalRow(QTreeWidget* list, const keydb::OriginalRow& original);
  // Fills an emptied originals list with the originals of the brand and
  // model (nullptr: any), a turn of the event queue after each row and no
  // other command meanwhile; the "nothing found" row when there is none.
  void FillOriginals(QTreeWidget* list, const std::string* brand, const std::string* model);
  // What the archive step of a registration or an export hands back while
  // it runs: a turn of the event queue (the caller holds the command lock).
  static void ArchiveProgress(int percent);
  // Sorts the list by SortColumn and SortDescending: each row's key is
  // computed once, and the rows are taken out and put back all at once.
  void SortList(QTreeWidget* list);
  // What DrvListCompare compares for a row: its SortColumn text as
  // Windows-1252 bytes.
  std::string SortKey(const QTreeWidgetItem* row) const;
  // The text of a combo box as database bytes; false (after telling the
  // user) when Windows-1252 cannot hold it.
  bool ComboBytes(const QComboBox* box, std::string* bytes);

  std::unique_ptr<Ui::TForm2> ui_;
  QMenu* PopupMenu1 = nullptr;

  std::string KeyRoot;
  std::string OriginalDigest;
  std::string ModifiedDigest;
  std::string SelectedOriginalId;
  std::string SelectedModifiedId;
  bool StopSearch = false;
  int SortColumn = 0;
  bool SortDescending = false;
  std::string DescriptionLine;

  QString ChosenOriginalPath;
  kit::CommandState commands_;

  // Registration of originals and modified files.
 public:
  // Pnl_ORI1/Pnl_ORI2: "Registra Originale" follows the selection of a
  // driver row; "OK" stores the chosen original and its ORI row, "Cancel"
  // goes back to the search result as it was.
  void DrvListSelectItem(QTreeWidgetItem* row, bool selected);
  void BTN_Reg_oriClick();
  void BTN_ORI_REGClick();
  void BTN_CANCEL_ORIClick();
  // Pending DRV_DOWNLOAD rows (DOWNLOADED and ERROR both "False"), of all
  // drivers. Database failures are thrown.
  int CountPendingReservations();
  // Reserves the selected DrvList driver unless it has a pending
  // reservation; a failed insert is rolled back and told (1021).
  void ReserveDriverDownload();

  // PNL_MOD/PNL_MOD2: choosing a modified file and its original, storing
  // it with its MOD row.
  void Button2Click();
  void MarcaORIChange();
  void BTN_Ori_searchClick();
  void OriListSelectItem(QTreeWidgetItem* row, bool selected);
  void BTN_Reg_modClick();
  void BTN_DBMODClick();
  void BTN_ANNULLAClick();
  void Button4Click();
  // Empties the file, the choices and the list of PNL_MOD; Memo_MOD and the
  // combo boxes' enabled states stay.
  void ResetModifiedPanel();

  const std::string& modifiedDigest() const { return ModifiedDigest; }
  // ID_ORI of the original that PNL_MOD2 registers against, taken when the
  // panel was opened; never the file management's selection.
  const std::string& registrationOriginalId() const { return RegistrationOriginalId; }
  // Registration refuses unless ORI still holds that id with this MD5 text.
  const std::string& registrationOriginalMd5() const { return RegistrationOriginalMd5; }

 private:
  void ConnectRegistration();
  // The file at path as a registration takes it, with the MD5 text it had
  // when it was chosen.
  static keydb::ChosenFile Chosen(const QString& path, const std::string& md5);
  // Runs a registration on the key's database with notice shown and no
  // other command taken meanwhile.
  keydb::Registration RunRegistration(
      QWidget* notice, const std::function<keydb::Registration(keydb::KeyDatabase&)>& registration);
  // What the window shows when a modified file was not registered.
  void ModifiedRefused(keydb::Registration outcome);

  std::string RegistrationOriginalId;
  std::string RegistrationOriginalMd5;
  // Browsing, exporting and deleting stored files.
 public:
  void MarcaDBChange();
  void BTN_db_searchClick();
  // item is the row whose selection changed; selected false when the list
  // has no selected row any more.
  void OriDBListSelectItem(QTreeWidgetItem* item, bool selected);
  void BTN_ExportClick();
  void Btn_Del_OriClick();
  void BTN_CloseClick();
  void BTN_Show_ModClick();
  void MOD_LISTSelectItem2(QTreeWidgetItem* item, bool selected);
  void BTN_DB_MOD_EXPClick();
  void BTN_DEL_MODClick();
  void Button6Click();
  // After an original is deleted: the originals panel and the
  // identification panel's file field start over.
  void ResetOriginalsPanel();
  const std::string& selectedOriginalId() const { return SelectedOriginalId; }
  const std::string& selectedModifiedId() const { return SelectedModifiedId; }

 private:
  void ConnectManagement();
  // Fills PNL_MNG_DB_MOD for SelectedOriginalId; false (after message
  // 1038) when the original or its driver is gone.
  bool ShowModifiedFiles();
  // Writes the content of a stored file to a file the user chooses. Nothing
  // is written unless the whole content was read; a failure is reported.
  void ExportStoredFile(const keydb::StoredFile& stored);
  bool Confirm(int question);
  int CountModifiedFiles(const std::string& originalId);
  // After a deletion: 1072 with the file that stayed behind, otherwise
  // 1039 once the key's writes are saved.
  void ReportDeletion(keydb::Deletion deletion, const std::string& keptFile);
};

// Renders the window as it stands into a PNG file; false when it could not
// be written. For pictures of the window in documentation and reviews.
bool SaveWindowPicture(QWidget* window, const QString& path);
