<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="en_US">
<context>
    <name>Messages</name>
    <message>
        <source>Attendere Prego ...</source>
        <translation>Please wait ...</translation>
    </message>
    <message>
        <source>Analisi Chiave Quorvane in corso</source>
        <translation>Checking the Quorvane key</translation>
    </message>
    <message>
        <source>Backup in corso</source>
        <translation>Backup in progress</translation>
    </message>
    <message>
        <source>Ripristino Backup in corso</source>
        <translation>Restoring backup</translation>
    </message>
    <message>
        <source>Backup Completato.</source>
        <translation>Backup completed.</translation>
    </message>
    <message>
        <source>Restore Completato.</source>
        <translation>Restore completed.</translation>
    </message>
    <message>
        <source>Quorvane non rilevata: Selezionare l'unità corretta.</source>
        <translation>Quorvane key not found: select the correct drive.</translation>
    </message>
    <message>
        <source>Drive non campatibile con Chiave Quorvane.</source>
        <translation>This drive cannot hold a Quorvane key.</translation>
    </message>
    <message>
        <source>Database Quorvane non rilevato.</source>
        <translation>Quorvane database not found.</translation>
    </message>
    <message>
        <source>Codice Cliente non rilevato, possibile Database corrotto.</source>
        <translation>Customer code not found, the database may be damaged.</translation>
    </message>
    <message>
        <source>Errore, Software Quorvane non rilevato</source>
        <translation>Error, Quorvane software not found</translation>
    </message>
    <message>
        <source>&lt;Seleziona&gt;</source>
        <translation>&lt;Select&gt;</translation>
    </message>
    <message>
        <source>Originale già registrato nel Database.</source>
        <translation>This original is already registered in the database.</translation>
    </message>
    <message>
        <source>1. Selezionare l'originale da registrare.</source>
        <translation>1. Select the original to register.</translation>
    </message>
    <message>
        <source>2. Selezionare driver.</source>
        <translation>2. Select a driver.</translation>
    </message>
    <message>
        <source>3. Premere Bottone Registra Originale.</source>
        <translation>3. Press the Register Original button.</translation>
    </message>
    <message>
        <source>4. Inserire una breve descrizione o modificare l'esistente.</source>
        <translation>4. Enter a short description or edit the existing one.</translation>
    </message>
    <message>
        <source>File Originale non trovato.</source>
        <translation>Original file not found.</translation>
    </message>
    <message>
        <source>Nessun Driver trovato.</source>
        <translation>No driver found.</translation>
    </message>
    <message>
        <source>Per la ricerca Manuale, selezionare almeno la marca.</source>
        <translation>For a manual search, select at least the make.</translation>
    </message>
    <message>
        <source>Attenzione, il driver richiesto non è presente, sarà scaricato al prossimo avvio ZKM Quorvane</source>
        <translation>Warning: the driver you need is not on the key; it will be downloaded the next time ZKM Quorvane starts</translation>
    </message>
    <message>
        <source>Errore prenotazione Driver</source>
        <translation>Driver reservation error</translation>
    </message>
    <message>
        <source>Hai raggiunto il numero massimo di driver prenotabili, potrai scaricare i driver manualmente da ZKM Quorvane</source>
        <translation>You have reached the maximum number of driver reservations; you can download the drivers manually from ZKM Quorvane</translation>
    </message>
    <message>
        <source>Errore Database durante la registrazione del file originale</source>
        <translation>Database error while registering the original file</translation>
    </message>
    <message>
        <source>File Registrato corettamente</source>
        <translation>File registered successfully</translation>
    </message>
    <message>
        <source>Errore trasferimento file in chiavetta Quorvane</source>
        <translation>Error copying the file to the Quorvane key</translation>
    </message>
    <message>
        <source>1. Aggiungere o modificare la descrizione.</source>
        <translation>1. Add or edit the description.</translation>
    </message>
    <message>
        <source>2. Premere il tasto OK o CANCEL per annullare.</source>
        <translation>2. Press OK, or CANCEL to cancel.</translation>
    </message>
    <message>
        <source>2. Selezionare l'originale da associare.</source>
        <translation>2. Select the original to link it to.</translation>
    </message>
    <message>
        <source>3. Premere il bottone Registra Modificato.</source>
        <translation>3. Press the Register Modified button.</translation>
    </message>
    <message>
        <source>Modificato già registrato nel Database.</source>
        <translation>This modified file is already registered in the database.</translation>
    </message>
    <message>
        <source>Nessun file originale trovato.</source>
        <translation>No original file found.</translation>
    </message>
    <message>
        <source>ATTENZIONE!</source>
        <translation>WARNING!</translation>
    </message>
    <message>
        <source>ASSOCIARE UN FILE MODIFICATO AD UN ORIGINALE NON COMPATIBILE, PUO' CAUSARE IL BLOCCO DEL SOFTWARE ZKM QUORVANE!</source>
        <translation>LINKING A MODIFIED FILE TO AN INCOMPATIBLE ORIGINAL CAN LOCK UP THE ZKM QUORVANE SOFTWARE!</translation>
    </message>
    <message>
        <source>BRENNOW Srl declina ogni responsabiltà in caso di errore di associazione degli utenti.</source>
        <translation>BRENNOW Srl accepts no liability for files linked wrongly by users.</translation>
    </message>
    <message>
        <source>Errore Database durante la registrazione del file modificato.</source>
        <translation>Database error while registering the modified file.</translation>
    </message>
    <message>
        <source>Attenzione l'Originale ha modificato associati: Rimuovere prima i modificati</source>
        <translation>Warning: this original has modified files linked to it. Remove the modified files first</translation>
    </message>
    <message>
        <source>Impossibile Trovare Informazioni sull'Originale Selezionato.</source>
        <translation>No information found for the selected original.</translation>
    </message>
    <message>
        <source>File Rimosso correttamente.</source>
        <translation>File removed successfully.</translation>
    </message>
    <message>
        <source>La modifica è consentita solo a driver personali</source>
        <translation>Only your own drivers can be changed</translation>
    </message>
    <message>
        <source>1. Ricerca il driver di interesse.</source>
        <translation>1. Search for the driver you want.</translation>
    </message>
    <message>
        <source>2. Premi Ricataloga per aggiornarlo o Elimina per cancellarlo.</source>
        <translation>2. Press Recatalogue to update it or Delete to remove it.</translation>
    </message>
    <message>
        <source>Vuoi Cancellare il Driver selezionato?</source>
        <translation>Delete the selected driver?</translation>
    </message>
    <message>
        <source>Il Driver è associato ad un originale. Impossibile rimuoverlo.</source>
        <translation>The driver is linked to an original. It cannot be removed.</translation>
    </message>
    <message>
        <source>Errore Database. Impossibile eseguire l'operazione.</source>
        <translation>Database error. The operation could not be carried out.</translation>
    </message>
    <message>
        <source>Eliminazione Driver completata con successo.</source>
        <translation>Driver deleted successfully.</translation>
    </message>
    <message>
        <source>1. Seleziona la Marca.</source>
        <translation>1. Select the make.</translation>
    </message>
    <message>
        <source>2. Seleziona il Modello.</source>
        <translation>2. Select the model.</translation>
    </message>
    <message>
        <source>3. Premi il tasto Aggiorna Driver.</source>
        <translation>3. Press Update Driver.</translation>
    </message>
    <message>
        <source>Driver ricatalogato con successo.</source>
        <translation>Driver recatalogued successfully.</translation>
    </message>
    <message>
        <source>ZKM Quorvane in funzione. Chiudere ZKM Quorvane e rilanciare il programma.</source>
        <translation>ZKM Quorvane is running. Close ZKM Quorvane and start this program again.</translation>
    </message>
    <message>
        <source>ZKM Quorvane Management Tool</source>
        <translation>ZKM Quorvane Management Tool</translation>
    </message>
    <message>
        <source>Impossibile smontare la chiave Quorvane: controllo coerenza non eseguito.</source>
        <translation>The Quorvane key could not be unmounted: the consistency check was not run.</translation>
    </message>
    <message>
        <source>Impossibile avviare il programma: Wine non è installato su questo computer.</source>
        <translation>The program cannot be started: Wine is not installed on this computer.</translation>
    </message>
    <message>
        <source>Backup non riuscito:</source>
        <translation>Backup failed:</translation>
    </message>
    <message>
        <source>Ripristino non riuscito:</source>
        <translation>Restore failed:</translation>
    </message>
    <message>
        <source>Operazione in corso: attendere la fine prima di uscire.</source>
        <translation>An operation is in progress: wait for it to finish before leaving.</translation>
    </message>
    <message>
        <source>Il testo contiene caratteri non ammessi dal Database.</source>
        <translation>The text contains characters the database cannot store.</translation>
    </message>
    <message>
        <source>Selezionare la Marca e il Modello prima di aggiornare il Driver.</source>
        <translation>Select the make and the model before updating the driver.</translation>
    </message>
    <message>
        <source>Driver rimosso dal Database, ma impossibile cancellare il file del driver:</source>
        <translation>The driver was removed from the database, but its driver file could not be deleted:</translation>
    </message>
    <message>
        <source>Testo non valido: contiene caratteri che il Database non può memorizzare.</source>
        <translation>Invalid text: it contains characters the database cannot store.</translation>
    </message>
    <message>
        <source>Il nome del file contiene caratteri non ammessi dal Database: rinominare il file e riprovare.</source>
        <translation>The file name contains characters the database cannot store: rename the file and try again.</translation>
    </message>
    <message>
        <source>La descrizione contiene caratteri non ammessi dal Database: correggerla e riprovare.</source>
        <translation>The description contains characters the database cannot store: correct it and try again.</translation>
    </message>
    <message>
        <source>Vuoi Cancellare l'Originale selezionato?</source>
        <translation>Delete the selected original?</translation>
    </message>
    <message>
        <source>Vuoi Cancellare il Modificato selezionato?</source>
        <translation>Delete the selected modified file?</translation>
    </message>
    <message>
        <source>File rimosso dal Database, ma impossibile cancellare il file memorizzato:</source>
        <translation>The file was removed from the database, but the stored file could not be deleted:</translation>
    </message>
    <message>
        <source>Esportazione non riuscita, nessun file scritto:</source>
        <translation>Export failed, no file was written:</translation>
    </message>
    <message>
        <source>Scrittura sulla chiave Quorvane non completata: non rimuovere la chiave e ripetere l'operazione.</source>
        <translation>Writing to the Quorvane key did not complete: do not remove the key, and repeat the operation.</translation>
    </message>
    <message>
        <source>Chiave Quorvane non più collegata: ricollegarla e riprovare, oppure riavviare il programma.</source>
        <translation>The Quorvane key is no longer connected: connect it again and retry, or restart the program.</translation>
    </message>
    <message>
        <source>L'originale scelto non è più registrato nel Database: sceglierlo di nuovo dall'elenco. Nulla è stato scritto.</source>
        <translation>The chosen original is no longer registered in the database: choose it again from the list. Nothing was written.</translation>
    </message>
    <message>
        <source>Il Database non ha più numeri liberi per una nuova registrazione. Nulla è stato scritto.</source>
        <translation>The database has no free number left for a new registration. Nothing was written.</translation>
    </message>
    <message>
        <source>Database in uso da un altro programma: attendere...</source>
        <translation>Database in use by another program: please wait...</translation>
    </message>
    <message>
        <source>Il Database è in uso da un altro programma: chiudere l'altro programma e riprovare.</source>
        <translation>The database is in use by another program: close that program and try again.</translation>
    </message>
    <message>
        <source>Impossibile aprire il Database: verificare che la chiave Quorvane sia collegata.</source>
        <translation>The database cannot be opened: check that the Quorvane key is plugged in.</translation>
    </message>
    <message>
        <source>Errore di lettura o scrittura del Database: la chiave Quorvane è ancora collegata?</source>
        <translation>The database could not be read or written: is the Quorvane key still plugged in?</translation>
    </message>
    <message>
        <source>La chiave Quorvane è piena: liberare spazio e riprovare.</source>
        <translation>The Quorvane key is full: free some space and try again.</translation>
    </message>
    <message>
        <source>Il Database è di sola lettura: verificare che la chiave Quorvane non sia protetta da scrittura.</source>
        <translation>The database is read-only: check that the Quorvane key is not write-protected.</translation>
    </message>
    <message>
        <source>Il Database è danneggiato o non è un Database Quorvane: ripristinarlo da un backup.</source>
        <translation>The database is damaged or is not a Quorvane database: restore it from a backup.</translation>
    </message>
    <message>
        <source>L'archivio scelto è un'esportazione del Database, non un Backup della chiave: per ripristinarlo usare "Importa Database". Nulla è stato scritto.</source>
        <translation>The chosen archive is a database export, not a backup of the key: use "Importa Database" to restore it. Nothing was written.</translation>
    </message>
    <message>
        <source>L'archivio scelto è un Backup completo della chiave, non un'esportazione del Database: per ripristinarlo usare "Ripristina Backup". Nulla è stato scritto.</source>
        <translation>The chosen archive is a full backup of the key, not a database export: use "Ripristina Backup" to restore it. Nothing was written.</translation>
    </message>
    <message>
        <source>Archivio non trovato: %1</source>
        <translation>Archive not found: %1</translation>
    </message>
    <message>
        <source>Il file non è un archivio di Backup leggibile: %1</source>
        <translation>The file is not a readable backup archive: %1</translation>
    </message>
    <message>
        <source>Formato dell'archivio non supportato: %1</source>
        <translation>Unsupported archive format: %1</translation>
    </message>
    <message>
        <source>Archivio danneggiato: %1</source>
        <translation>Damaged archive: %1</translation>
    </message>
    <message>
        <source>Dati danneggiati (errore CRC) in %1</source>
        <translation>Damaged data (CRC error) in %1</translation>
    </message>
    <message>
        <source>Volume dell'archivio mancante o incompleto: %1</source>
        <translation>A volume of the archive is missing or incomplete: %1</translation>
    </message>
    <message>
        <source>Impossibile scrivere nella cartella dell'archivio (sola lettura?): %1</source>
        <translation>Cannot write in the archive's folder (read-only?): %1</translation>
    </message>
    <message>
        <source>L'archivio esistente è di sola lettura e non viene sostituito: %1</source>
        <translation>The existing archive is read-only and is not replaced: %1</translation>
    </message>
    <message>
        <source>Impossibile leggere %1</source>
        <translation>Cannot read %1</translation>
    </message>
    <message>
        <source>Impossibile creare %1</source>
        <translation>Cannot create %1</translation>
    </message>
    <message>
        <source>Impossibile scrivere %1 (disco pieno?)</source>
        <translation>Cannot write %1 (disk full?)</translation>
    </message>
    <message>
        <source>Cartella non trovata: %1</source>
        <translation>Folder not found: %1</translation>
    </message>
    <message>
        <source>File scomparso durante il Backup: %1</source>
        <translation>A file vanished during the backup: %1</translation>
    </message>
    <message>
        <source>File modificato durante il Backup: %1</source>
        <translation>A file changed during the backup: %1</translation>
    </message>
    <message>
        <source>Nome non sicuro nell'archivio, rifiutato: %1</source>
        <translation>Unsafe name in the archive, refused: %1</translation>
    </message>
    <message>
        <source>Un collegamento simbolico è d'intralcio: %1</source>
        <translation>A symbolic link is in the way: %1</translation>
    </message>
    <message>
        <source>Una cartella è d'intralcio: %1</source>
        <translation>A folder is in the way: %1</translation>
    </message>
    <message>
        <source>Un file è d'intralcio: %1</source>
        <translation>A file is in the way: %1</translation>
    </message>
    <message>
        <source>Spazio insufficiente in %1: servono %2, liberi %3</source>
        <translation>Not enough free space in %1: %2 needed, %3 free</translation>
    </message>
    <message>
        <source>L'archivio non contiene file: %1</source>
        <translation>The archive holds no files: %1</translation>
    </message>
    <message>
        <source>File troppo grande per un archivio (oltre 4 GiB): %1</source>
        <translation>File too large for an archive (over 4 GiB): %1</translation>
    </message>
    <message>
        <source>Troppi file per un archivio (al massimo 65535).</source>
        <translation>Too many files for an archive (at most 65535).</translation>
    </message>
    <message>
        <source>Impossibile opening or creating an Archive </source>
        <translation>Cannot open or create the archive: </translation>
    </message>
    <message>
        <source>Unable to close current archive : </source>
        <translation>Cannot close the archive: </translation>
    </message>
    <message>
        <source>Error Adding File: </source>
        <translation>Error adding files: </translation>
    </message>
    <message>
        <source>Error Adding Stream: </source>
        <translation>Error adding data: </translation>
    </message>
    <message>
        <source>Error Extracting Files: </source>
        <translation>Error extracting files: </translation>
    </message>
    <message>
        <source>L'archivio è in uso da un altro programma: %1</source>
        <translation>The archive is in use by another program: %1</translation>
    </message>
    <message>
        <source>Un file accanto all'archivio non è stato scritto da questo programma: l'archivio non viene aperto finché il file non viene rimosso: %1</source>
        <translation>A file beside the archive was not written by this program: the archive is not opened until the file is removed: %1</translation>
    </message>
    <message>
        <source>Un Backup interrotto ha lasciato l'archivio incompiuto: per ripararlo il supporto deve essere scrivibile: %1</source>
        <translation>An interrupted backup left the archive unfinished: the medium must be writable to repair it: %1</translation>
    </message>
    <message>
        <source>I nomi %1 e %2 differiscono solo per maiuscole e minuscole: l'archivio non viene riparato.</source>
        <translation>The names %1 and %2 differ only in case: the archive is not repaired.</translation>
    </message>
    <message>
        <source>Il testo contiene un carattere nullo, che il Database non può memorizzare: toglierlo e riprovare. Nulla è stato scritto.</source>
        <translation>The text holds a null character, which the database cannot store: remove it and try again. Nothing was written.</translation>
    </message>
    <message>
        <source>La Marca o il Modello è troppo lungo (al massimo %1 caratteri): accorciarlo e riprovare. Nulla è stato scritto.</source>
        <translation>The make or the model is too long (at most %1 characters): shorten it and try again. Nothing was written.</translation>
    </message>
</context>
<context>
    <name>TForm1</name>
    <message>
        <source>Rilevamento ZKM QUORVANE</source>
        <translation>ZKM QUORVANE Detection</translation>
    </message>
    <message>
        <source>Rilevamento Automatico</source>
        <translation>Automatic Detection</translation>
    </message>
    <message>
        <source>Rilevamento Manuale</source>
        <translation>Manual Detection</translation>
    </message>
    <message>
        <source>Conferma</source>
        <translation>Confirm</translation>
    </message>
    <message>
        <source>Esci</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>Lancia ZKM Quorvane</source>
        <translation>Start ZKM Quorvane</translation>
    </message>
    <message>
        <source>Effettua Backup</source>
        <translation>Back Up</translation>
    </message>
    <message>
        <source>Ripristina Backup</source>
        <translation>Restore Backup</translation>
    </message>
    <message>
        <source>Gestione Database</source>
        <translation>Database Management</translation>
    </message>
    <message>
        <source>Esporta Database</source>
        <translation>Export Database</translation>
    </message>
    <message>
        <source>Importa Database</source>
        <translation>Import Database</translation>
    </message>
    <message>
        <source>Controllo Coerenza</source>
        <translation>Consistency Check</translation>
    </message>
    <message>
        <source>Driver Utente</source>
        <translation>User Drivers</translation>
    </message>
    <message>
        <source>Quorvane Service Pack</source>
        <translation>Quorvane Service Pack</translation>
    </message>
    <message>
        <source>File</source>
        <translation>File</translation>
    </message>
    <message>
        <source>Lingue</source>
        <translation>Languages</translation>
    </message>
</context>
<context>
    <name>TForm2</name>
    <message>
        <source>Database Management</source>
        <translation>Database Management</translation>
    </message>
    <message>
        <source>Importa Originale</source>
        <translation>Import Original</translation>
    </message>
    <message>
        <source>Importa Modificato</source>
        <translation>Import Modified</translation>
    </message>
    <message>
        <source>Gestione File</source>
        <translation>File Management</translation>
    </message>
    <message>
        <source>Chiudi</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Registrazione File Originale</source>
        <translation>Original File Registration</translation>
    </message>
    <message>
        <source>Apri ORI</source>
        <translation>Open ORI</translation>
    </message>
    <message>
        <source>Marca:</source>
        <translation>Make:</translation>
    </message>
    <message>
        <source>Modello:</source>
        <translation>Model:</translation>
    </message>
    <message>
        <source>Ricerca Manuale</source>
        <translation>Manual Search</translation>
    </message>
    <message>
        <source>Cerca Driver</source>
        <translation>Find Driver</translation>
    </message>
    <message>
        <source>Interrompi </source>
        <translation>Stop </translation>
    </message>
    <message>
        <source>Nome</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Descrizione</source>
        <translation>Description</translation>
    </message>
    <message>
        <source>Centralina</source>
        <translation>ECU</translation>
    </message>
    <message>
        <source>EPROM</source>
        <translation>EPROM</translation>
    </message>
    <message>
        <source>CKS</source>
        <translation>CKS</translation>
    </message>
    <message>
        <source>Registra Originale</source>
        <translation>Register Original</translation>
    </message>
    <message>
        <source>Annulla</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source> Ricerca Database in corso...</source>
        <translation> Searching the database...</translation>
    </message>
    <message>
        <source>Driver: </source>
        <translation>Driver: </translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Registrazione Originale in corso...</source>
        <translation>Registering the original...</translation>
    </message>
    <message>
        <source>Registrazione File Modificato</source>
        <translation>Modified File Registration</translation>
    </message>
    <message>
        <source>Apri Mod</source>
        <translation>Open Mod</translation>
    </message>
    <message>
        <source>Cerca Originale</source>
        <translation>Find Original</translation>
    </message>
    <message>
        <source>Interrompi</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>Originale</source>
        <translation>Original</translation>
    </message>
    <message>
        <source>Driver</source>
        <translation>Driver</translation>
    </message>
    <message>
        <source>Ultima Modifica</source>
        <translation>Last Change</translation>
    </message>
    <message>
        <source>ID</source>
        <translation>ID</translation>
    </message>
    <message>
        <source>Registra Modificato</source>
        <translation>Register Modified</translation>
    </message>
    <message>
        <source>Ricerca Database in corso ...</source>
        <translation>Searching the database ...</translation>
    </message>
    <message>
        <source>Modificato:</source>
        <translation>Modified:</translation>
    </message>
    <message>
        <source>Originale:</source>
        <translation>Original:</translation>
    </message>
    <message>
        <source>Registrazione Database in Corso ...</source>
        <translation>Saving to the database ...</translation>
    </message>
    <message>
        <source>Gestione Database Originali</source>
        <translation>Originals Database Management</translation>
    </message>
    <message>
        <source>Marca :</source>
        <translation>Make :</translation>
    </message>
    <message>
        <source>Modello :</source>
        <translation>Model :</translation>
    </message>
    <message>
        <source>Cerca</source>
        <translation>Search</translation>
    </message>
    <message>
        <source>Elimina</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>Esporta</source>
        <translation>Export</translation>
    </message>
    <message>
        <source>Visualizza Modificati</source>
        <translation>Show Modified</translation>
    </message>
    <message>
        <source>Ricerca Database in Corso... </source>
        <translation>Searching the database... </translation>
    </message>
    <message>
        <source>Gestione Database Modificati</source>
        <translation>Modified Files Database Management</translation>
    </message>
    <message>
        <source>Driver:</source>
        <translation>Driver:</translation>
    </message>
    <message>
        <source>Ultima Modifica:</source>
        <translation>Last Change:</translation>
    </message>
    <message>
        <source>Modificato</source>
        <translation>Modified</translation>
    </message>
</context>
<context>
    <name>TForm3</name>
    <message>
        <source>Driver Management</source>
        <translation>Driver Management</translation>
    </message>
    <message>
        <source>Ricataloga Driver Utente</source>
        <translation>Recatalogue User Driver</translation>
    </message>
    <message>
        <source>Marca:</source>
        <translation>Make:</translation>
    </message>
    <message>
        <source>Modello:</source>
        <translation>Model:</translation>
    </message>
    <message>
        <source>Cerca</source>
        <translation>Search</translation>
    </message>
    <message>
        <source>Nome</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Descrizione</source>
        <translation>Description</translation>
    </message>
    <message>
        <source>Centralina</source>
        <translation>ECU</translation>
    </message>
    <message>
        <source>EPROM</source>
        <translation>EPROM</translation>
    </message>
    <message>
        <source>CKS</source>
        <translation>CKS</translation>
    </message>
    <message>
        <source>Ricataloga</source>
        <translation>Recatalogue</translation>
    </message>
    <message>
        <source>Elimina</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>Chiudi</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Nome Driver:</source>
        <translation>Driver Name:</translation>
    </message>
    <message>
        <source>Descrizione Driver:</source>
        <translation>Driver Description:</translation>
    </message>
    <message>
        <source>Marca</source>
        <translation>Make</translation>
    </message>
    <message>
        <source>Modello</source>
        <translation>Model</translation>
    </message>
    <message>
        <source>Aggiorna Driver</source>
        <translation>Update Driver</translation>
    </message>
    <message>
        <source>Elimina Driver</source>
        <translation>Delete Driver</translation>
    </message>
    <message>
        <source>Annulla</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Operazione in Corso... Attendere Prego </source>
        <translation>Operation in progress... Please wait </translation>
    </message>
</context>
<context>
    <name>TMsgFm</name>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
</context>
</TS>