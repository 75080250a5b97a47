#include "app/kit/Messages.h"

#include <iterator>

// lupdate collects the texts marked here; the windows translate them.
#define QT_TRANSLATE_NOOP(context, text) text

namespace messages {
namespace {

struct Entry {
  int number;
  const char* text;
};

// One line per text: the table reads as the string table it is.
// clang-format off
const Entry kTable[] = {
    {1000, QT_TRANSLATE_NOOP("Messages", "Attendere Prego ...")},
    {1001, QT_TRANSLATE_NOOP("Messages", "Analisi Chiave Quorvane in corso")},
    {1002, QT_TRANSLATE_NOOP("Messages", "Backup in corso")},
    {1003, QT_TRANSLATE_NOOP("Messages", "Ripristino Backup in corso")},
    {1004, QT_TRANSLATE_NOOP("Messages", "Backup Completato.")},
    {1005, QT_TRANSLATE_NOOP("Messages", "Restore Completato.")},
    {1006, QT_TRANSLATE_NOOP("Messages", "Quorvane non rilevata: Selezionare l'unità corretta.")},
    {1007, QT_TRANSLATE_NOOP("Messages", "Drive non campatibile con Chiave Quorvane.")},
    {1008, QT_TRANSLATE_NOOP("Messages", "Database Quorvane non rilevato.")},
    {1009, QT_TRANSLATE_NOOP("Messages", "Codice Cliente non rilevato, possibile Database corrotto.")},
    {1010, QT_TRANSLATE_NOOP("Messages", "Errore, Software Quorvane non rilevato")},
    {1011, QT_TRANSLATE_NOOP("Messages", "<Seleziona>")},
    {1012, QT_TRANSLATE_NOOP("Messages", "Originale già registrato nel Database.")},
    {1013, QT_TRANSLATE_NOOP("Messages", "1. Selezionare l'originale da registrare.")},
    {1014, QT_TRANSLATE_NOOP("Messages", "2. Selezionare driver.")},
    {1015, QT_TRANSLATE_NOOP("Messages", "3. Premere Bottone Registra Originale.")},
    {1016, QT_TRANSLATE_NOOP("Messages", "4. Inserire una breve descrizione o modificare l'esistente.")},
    {1017, QT_TRANSLATE_NOOP("Messages", "File Originale non trovato.")},
    {1018, QT_TRANSLATE_NOOP("Messages", "Nessun Driver trovato.")},
    {1019, QT_TRANSLATE_NOOP("Messages", "Per la ricerca Manuale, selezionare almeno la marca.")},
    {1020, QT_TRANSLATE_NOOP("Messages", "Attenzione, il driver richiesto non è presente, sarà scaricato al prossimo avvio ZKM Quorvane")},
    {1021, QT_TRANSLATE_NOOP("Messages", "Errore prenotazione Driver")},
    {1022, QT_TRANSLATE_NOOP("Messages", "Hai raggiunto il numero massimo di driver prenotabili, potrai scaricare i driver manualmente da ZKM Quorvane")},
    {1023, QT_TRANSLATE_NOOP("Messages", "Errore Database durante la registrazione del file originale")},
    {1024, QT_TRANSLATE_NOOP("Messages", "File Registrato corettamente")},
    {1025, QT_TRANSLATE_NOOP("Messages", "Errore trasferimento file in chiavetta Quorvane")},
    {1026, QT_TRANSLATE_NOOP("Messages", "1. Aggiungere o modificare la descrizione.")},
    {1027, QT_TRANSLATE_NOOP("Messages", "2. Premere il tasto OK o CANCEL per annullare.")},
    {1028, QT_TRANSLATE_NOOP("Messages", "1. Selezionare l'originale da registrare.")},
    {1029, QT_TRANSLATE_NOOP("Messages", "2. Selezionare l'originale da associare.")},
    {1030, QT_TRANSLATE_NOOP("Messages", "3. Premere il bottone Registra Modificato.")},
    {1031, QT_TRANSLATE_NOOP("Messages", "Modificato già registrato nel Database.")},
    {1032, QT_TRANSLATE_NOOP("Messages", "Nessun file originale trovato.")},
    {1033, QT_TRANSLATE_NOOP("Messages", "ATTENZIONE!")},
    {1034, QT_TRANSLATE_NOOP("Messages", "ASSOCIARE UN FILE MODIFICATO AD UN ORIGINALE NON COMPATIBILE, PUO' CAUSARE IL BLOCCO DEL SOFTWARE ZKM QUORVANE!")},
    {1035, QT_TRANSLATE_NOOP("Messages", "BRENNOW Srl declina ogni responsabiltà in caso di errore di associazione degli utenti.")},
    {1036, QT_TRANSLATE_NOOP("Messages", "Errore Database durante la registrazione del file modificato.")},
    {1037, QT_TRANSLATE_NOOP("Messages", "Attenzione l'Originale ha modificato associati: Rimuovere prima i modificati")},
    {1038, QT_TRANSLATE_NOOP("Messages", "Impossibile Trovare Informazioni sull'Originale Selezionato.")},
    {1039, QT_TRANSLATE_NOOP("Messages", "File Rimosso correttamente.")},
    {1040, QT_TRANSLATE_NOOP("Messages", "La modifica è consentita solo a driver personali")},
    {1041, QT_TRANSLATE_NOOP("Messages", "1. Ricerca il driver di interesse.")},
    {1042, QT_TRANSLATE_NOOP("Messages", "2. Premi Ricataloga per aggiornarlo o Elimina per cancellarlo.")},
    {1043, QT_TRANSLATE_NOOP("Messages", "Vuoi Cancellare il Driver selezionato?")},
    {1044, QT_TRANSLATE_NOOP("Messages", "Il Driver è associato ad un originale. Impossibile rimuoverlo.")},
    {1045, QT_TRANSLATE_NOOP("Messages", "Errore Database. Impossibile eseguire l'operazione.")},
    {1046, QT_TRANSLATE_NOOP("Messages", "Eliminazione Driver completata con successo.")},
    {1047, QT_TRANSLATE_NOOP("Messages", "1. Seleziona la Marca.")},
    {1048, QT_TRANSLATE_NOOP("Messages", "2. Seleziona il Modello.")},
    {1049, QT_TRANSLATE_NOOP("Messages", "3. Premi il tasto Aggiorna Driver.")},
    {1050, QT_TRANSLATE_NOOP("Messages", "Driver ricatalogato con successo.")},
    {1051, QT_TRANSLATE_NOOP("Messages", "ZKM Quorvane in funzione. Chiudere ZKM Quorvane e rilanciare il programma.")},
    {1052, QT_TRANSLATE_NOOP("Messages", "ZKM Quorvane Management Tool")},
    // Added texts start here: keep them in ascending order.
    {1053, QT_TRANSLATE_NOOP("Messages", "Impossibile smontare la chiave Quorvane: controllo coerenza non eseguito.")},
    {1054, QT_TRANSLATE_NOOP("Messages", "Impossibile avviare il programma: Wine non è installato su questo computer.")},
    {1055, QT_TRANSLATE_NOOP("Messages", "Backup non riuscito:")},
    {1056, QT_TRANSLATE_NOOP("Messages", "Ripristino non riuscito:")},
    {1057, QT_TRANSLATE_NOOP("Messages", "Operazione in corso: attendere la fine prima di uscire.")},
    {1060, QT_TRANSLATE_NOOP("Messages", "Il testo contiene caratteri non ammessi dal Database.")},
    {1065, QT_TRANSLATE_NOOP("Messages", "Il nome del file contiene caratteri non ammessi dal Database: rinominare il file e riprovare.")},
    {1066, QT_TRANSLATE_NOOP("Messages", "La descrizione contiene caratteri non ammessi dal Database: correggerla e riprovare.")},
    {1067, QT_TRANSLATE_NOOP("Messages", "Il testo contiene un carattere nullo, che il Database non può memorizzare: toglierlo e riprovare. Nulla è stato scritto.")},
    {1068, QT_TRANSLATE_NOOP("Messages", "La Marca o il Modello è troppo lungo (al massimo %1 caratteri): accorciarlo e riprovare. Nulla è stato scritto.")},
    {1070, QT_TRANSLATE_NOOP("Messages", "Vuoi Cancellare l'Originale selezionato?")},
    {1071, QT_TRANSLATE_NOOP("Messages", "Vuoi Cancellare il Modificato selezionato?")},
    {1072, QT_TRANSLATE_NOOP("Messages", "File rimosso dal Database, ma impossibile cancellare il file memorizzato:")},
    {1073, QT_TRANSLATE_NOOP("Messages", "Esportazione non riuscita, nessun file scritto:")},
    {1075, QT_TRANSLATE_NOOP("Messages", "Selezionare la Marca e il Modello prima di aggiornare il Driver.")},
    {1076, QT_TRANSLATE_NOOP("Messages", "Driver rimosso dal Database, ma impossibile cancellare il file del driver:")},
    {1077, QT_TRANSLATE_NOOP("Messages", "Testo non valido: contiene caratteri che il Database non può memorizzare.")},
    {1078, QT_TRANSLATE_NOOP("Messages", "L'originale scelto non è più registrato nel Database: sceglierlo di nuovo dall'elenco. Nulla è stato scritto.")},
    {1079, QT_TRANSLATE_NOOP("Messages", "Il Database non ha più numeri liberi per una nuova registrazione. Nulla è stato scritto.")},
    {1090, QT_TRANSLATE_NOOP("Messages", "Scrittura sulla chiave Quorvane non completata: non rimuovere la chiave e ripetere l'operazione.")},
    {1091, QT_TRANSLATE_NOOP("Messages", "Chiave Quorvane non più collegata: ricollegarla e riprovare, oppure riavviare il programma.")},
    {1120, QT_TRANSLATE_NOOP("Messages", "Database in uso da un altro programma: attendere...")},
    {1121, QT_TRANSLATE_NOOP("Messages", "Il Database è in uso da un altro programma: chiudere l'altro programma e riprovare.")},
    {1122, QT_TRANSLATE_NOOP("Messages", "Impossibile aprire il Database: verificare che la chiave Quorvane sia collegata.")},
    {1123, QT_TRANSLATE_NOOP("Messages", "Errore di lettura o scrittura del Database: la chiave Quorvane è ancora collegata?")},
    {1124, QT_TRANSLATE_NOOP("Messages", "La chiave Quorvane è piena: liberare spazio e riprovare.")},
    {1125, QT_TRANSLATE_NOOP("Messages", "Il Database è di sola lettura: verificare che la chiave Quorvane non sia protetta da scrittura.")},
    {1126, QT_TRANSLATE_NOOP("Messages", "Il Database è danneggiato o non è un Database Quorvane: ripristinarlo da un backup.")},
    {1140, QT_TRANSLATE_NOOP("Messages", "L'archivio scelto è un'esportazione del Database, non un Backup della chiave: per ripristinarlo usare \"Importa Database\". Nulla è stato scritto.")},
    {1141, QT_TRANSLATE_NOOP("Messages", "L'archivio scelto è un Backup completo della chiave, non un'esportazione del Database: per ripristinarlo usare \"Ripristina Backup\". Nulla è stato scritto.")},
    {1142, QT_TRANSLATE_NOOP("Messages", "Archivio non trovato: %1")},
    {1143, QT_TRANSLATE_NOOP("Messages", "Il file non è un archivio di Backup leggibile: %1")},
    {1144, QT_TRANSLATE_NOOP("Messages", "Formato dell'archivio non supportato: %1")},
    {1145, QT_TRANSLATE_NOOP("Messages", "Archivio danneggiato: %1")},
    {1146, QT_TRANSLATE_NOOP("Messages", "Dati danneggiati (errore CRC) in %1")},
    {1147, QT_TRANSLATE_NOOP("Messages", "Volume dell'archivio mancante o incompleto: %1")},
    {1148, QT_TRANSLATE_NOOP("Messages", "L'archivio è in uso da un altro programma: %1")},
    {1149, QT_TRANSLATE_NOOP("Messages", "Impossibile scrivere nella cartella dell'archivio (sola lettura?): %1")},
    {1150, QT_TRANSLATE_NOOP("Messages", "L'archivio esistente è di sola lettura e non viene sostituito: %1")},
    {1151, QT_TRANSLATE_NOOP("Messages", "Impossibile leggere %1")},
    {1152, QT_TRANSLATE_NOOP("Messages", "Impossibile creare %1")},
    {1153, QT_TRANSLATE_NOOP("Messages", "Impossibile scrivere %1 (disco pieno?)")},
    {1154, QT_TRANSLATE_NOOP("Messages", "Cartella non trovata: %1")},
    {1155, QT_TRANSLATE_NOOP("Messages", "File scomparso durante il Backup: %1")},
    {1156, QT_TRANSLATE_NOOP("Messages", "File modificato durante il Backup: %1")},
    {1157, QT_TRANSLATE_NOOP("Messages", "Nome non sicuro nell'archivio, rifiutato: %1")},
    {1158, QT_TRANSLATE_NOOP("Messages", "Un collegamento simbolico è d'intralcio: %1")},
    {1159, QT_TRANSLATE_NOOP("Messages", "Una cartella è d'intralcio: %1")},
    {1160, QT_TRANSLATE_NOOP("Messages", "Un file è d'intralcio: %1")},
    {1161, QT_TRANSLATE_NOOP("Messages", "Spazio insufficiente in %1: servono %2, liberi %3")},
    {1162, QT_TRANSLATE_NOOP("Messages", "L'archivio non contiene file: %1")},
    {1163, QT_TRANSLATE_NOOP("Messages", "File troppo grande per un archivio (oltre 4 GiB): %1")},
    {1164, QT_TRANSLATE_NOOP("Messages", "Troppi file per un archivio (al massimo 65535).")},
    {1165, QT_TRANSLATE_NOOP("Messages", "Un file accanto all'archivio non è stato scritto da questo programma: l'archivio non viene aperto finché il file non viene rimosso: %1")},
    {1166, QT_TRANSLATE_NOOP("Messages", "Un Backup interrotto ha lasciato l'archivio incompiuto: per ripararlo il supporto deve essere scrivibile: %1")},
    {1167, QT_TRANSLATE_NOOP("Messages", "I nomi %1 e %2 differiscono solo per maiuscole e minuscole: l'archivio non viene riparato.")},
    {1170, QT_TRANSLATE_NOOP("Messages", "Impossibile opening or creating an Archive ")},
    {1171, QT_TRANSLATE_NOOP("Messages", "Unable to close current archive : ")},
    {1172, QT_TRANSLATE_NOOP("Messages", "Error Adding File: ")},
    {1173, QT_TRANSLATE_NOOP("Messages", "Error Adding Stream: ")},
    {1174, QT_TRANSLATE_NOOP("Messages", "Error Extracting Files: ")},
};
// clang-format on

int g_numbers[std::size(kTable)];

}  // namespace

const char* Text(int number) {
  for (const Entry& e : kTable) {
    if (e.number == number) return e.text;
  }
  return nullptr;
}

const int* Numbers(int* count) {
  for (size_t i = 0; i < std::size(kTable); ++i) g_numbers[i] = kTable[i].number;
  *count = static_cast<int>(std::size(kTable));
  return g_numbers;
}

}  // namespace messages
