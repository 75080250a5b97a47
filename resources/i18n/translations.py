#!/usr/bin/env python3
"""The translations of every interface text, by its Italian source.

tools/update-translations.sh collects the sources into the .ts files and
then fills them from this table; a source missing here stays unfinished,
which the translation test reports. Keep product and brand names and the
file forms (.qbk, .qsp) unchanged.
"""
import sys
import xml.etree.ElementTree as ET

# source: (English (United States), Português (Brasil))
T = {
    "L'archivio scelto è un'esportazione del Database, non un Backup della chiave: per ripristinarlo usare \"Importa Database\". Nulla è stato scritto.": ("The chosen archive is a database export, not a backup of the key: use \"Importa Database\" to restore it. Nothing was written.", "O arquivo escolhido é uma exportação do banco de dados, não um backup da chave: use \"Importa Database\" para restaurá-lo. Nada foi gravado."),
    "L'archivio scelto è un Backup completo della chiave, non un'esportazione del Database: per ripristinarlo usare \"Ripristina Backup\". Nulla è stato scritto.": ("The chosen archive is a full backup of the key, not a database export: use \"Ripristina Backup\" to restore it. Nothing was written.", "O arquivo escolhido é um backup completo da chave, não uma exportação do banco de dados: use \"Ripristina Backup\" para restaurá-lo. Nada foi gravado."),
    "Archivio non trovato: %1": ("Archive not found: %1", "Arquivo não encontrado: %1"),
    "Il file non è un archivio di Backup leggibile: %1": ("The file is not a readable backup archive: %1", "O arquivo não é um backup legível: %1"),
    "Formato dell'archivio non supportato: %1": ("Unsupported archive format: %1", "Formato de arquivo não suportado: %1"),
    "Archivio danneggiato: %1": ("Damaged archive: %1", "Arquivo danificado: %1"),
    "Dati danneggiati (errore CRC) in %1": ("Damaged data (CRC error) in %1", "Dados danificados (erro de CRC) em %1"),
    "Volume dell'archivio mancante o incompleto: %1": ("A volume of the archive is missing or incomplete: %1", "Um volume do arquivo está faltando ou incompleto: %1"),
    "L'archivio è in uso da un altro programma: %1": ("The archive is in use by another program: %1", "O arquivo está em uso por outro programa: %1"),
    "Impossibile scrivere nella cartella dell'archivio (sola lettura?): %1": ("Cannot write in the archive's folder (read-only?): %1", "Não é possível gravar na pasta do arquivo (somente leitura?): %1"),
    "L'archivio esistente è di sola lettura e non viene sostituito: %1": ("The existing archive is read-only and is not replaced: %1", "O arquivo existente é somente leitura e não é substituído: %1"),
    "Impossibile leggere %1": ("Cannot read %1", "Não é possível ler %1"),
    "Impossibile creare %1": ("Cannot create %1", "Não é possível criar %1"),
    "Impossibile scrivere %1 (disco pieno?)": ("Cannot write %1 (disk full?)", "Não é possível gravar %1 (disco cheio?)"),
    "Cartella non trovata: %1": ("Folder not found: %1", "Pasta não encontrada: %1"),
    "File scomparso durante il Backup: %1": ("A file vanished during the backup: %1", "Um arquivo desapareceu durante o backup: %1"),
    "File modificato durante il Backup: %1": ("A file changed during the backup: %1", "Um arquivo foi alterado durante o backup: %1"),
    "Nome non sicuro nell'archivio, rifiutato: %1": ("Unsafe name in the archive, refused: %1", "Nome inseguro no arquivo, recusado: %1"),
    "Un collegamento simbolico è d'intralcio: %1": ("A symbolic link is in the way: %1", "Um link simbólico está no caminho: %1"),
    "Una cartella è d'intralcio: %1": ("A folder is in the way: %1", "Uma pasta está no caminho: %1"),
    "Un file è d'intralcio: %1": ("A file is in the way: %1", "Um arquivo está no caminho: %1"),
    "Spazio insufficiente in %1: servono %2, liberi %3": ("Not enough free space in %1: %2 needed, %3 free", "Espaço insuficiente em %1: são necessários %2, livres %3"),
    "L'archivio non contiene file: %1": ("The archive holds no files: %1", "O arquivo não contém arquivos: %1"),
    "File troppo grande per un archivio (oltre 4 GiB): %1": ("File too large for an archive (over 4 GiB): %1", "Arquivo grande demais para um backup (mais de 4 GiB): %1"),
    "Troppi file per un archivio (al massimo 65535).": ("Too many files for an archive (at most 65535).", "Arquivos demais para um backup (no máximo 65535)."),
    "Un file accanto all'archivio non è stato scritto da questo programma: l'archivio non viene aperto finché il file non viene rimosso: %1": (
        "A file beside the archive was not written by this program: the archive is not opened until the file is removed: %1",
        "Um arquivo ao lado do backup não foi gravado por este programa: o backup não é aberto até que o arquivo seja removido: %1"),
    "Un Backup interrotto ha lasciato l'archivio incompiuto: per ripararlo il supporto deve essere scrivibile: %1": (
        "An interrupted backup left the archive unfinished: the medium must be writable to repair it: %1",
        "Um backup interrompido deixou o arquivo incompleto: a mídia deve permitir gravação para repará-lo: %1"),
    "I nomi %1 e %2 differiscono solo per maiuscole e minuscole: l'archivio non viene riparato.": (
        "The names %1 and %2 differ only in case: the archive is not repaired.",
        "Os nomes %1 e %2 diferem apenas em maiúsculas e minúsculas: o arquivo não é reparado."),
    "Il testo contiene un carattere nullo, che il Database non può memorizzare: toglierlo e riprovare. Nulla è stato scritto.": (
        "The text holds a null character, which the database cannot store: remove it and try again. Nothing was written.",
        "O texto contém um caractere nulo, que o banco de dados não pode armazenar: remova-o e tente novamente. Nada foi gravado."),
    "La Marca o il Modello è troppo lungo (al massimo %1 caratteri): accorciarlo e riprovare. Nulla è stato scritto.": (
        "The make or the model is too long (at most %1 characters): shorten it and try again. Nothing was written.",
        "A marca ou o modelo é longo demais (no máximo %1 caracteres): encurte-o e tente novamente. Nada foi gravado."),
    "Impossibile opening or creating an Archive ": ("Cannot open or create the archive: ", "Não foi possível abrir ou criar o arquivo: "),
    "Unable to close current archive : ": ("Cannot close the archive: ", "Não foi possível fechar o arquivo: "),
    "Error Adding File: ": ("Error adding files: ", "Erro ao adicionar arquivos: "),
    "Error Adding Stream: ": ("Error adding data: ", "Erro ao adicionar dados: "),
    "Error Extracting Files: ": ("Error extracting files: ", "Erro ao extrair arquivos: "),
    "Attendere Prego ...": ("Please wait ...", "Aguarde, por favor ..."),
    "Analisi Chiave Quorvane in corso": ("Checking the Quorvane key", "Analisando a chave Quorvane"),
    "Backup in corso": ("Backup in progress", "Backup em andamento"),
    "Ripristino Backup in corso": ("Restoring backup", "Restaurando o backup"),
    "Backup Completato.": ("Backup completed.", "Backup concluído."),
    "Restore Completato.": ("Restore completed.", "Restauração concluída."),
    "Quorvane non rilevata: Selezionare l'unità corretta.": (
        "Quorvane key not found: select the correct drive.",
        "Chave Quorvane não encontrada: selecione a unidade correta."),
    "Drive non campatibile con Chiave Quorvane.": (
        "This drive cannot hold a Quorvane key.", "Unidade incompatível com a chave Quorvane."),
    "Database Quorvane non rilevato.": ("Quorvane database not found.", "Banco de dados Quorvane não encontrado."),
    "Codice Cliente non rilevato, possibile Database corrotto.": (
        "Customer code not found, the database may be damaged.",
        "Código do cliente não encontrado, o banco de dados pode estar corrompido."),
    "Errore, Software Quorvane non rilevato": ("Error, Quorvane software not found", "Erro, software Quorvane não encontrado"),
    "<Seleziona>": ("<Select>", "<Selecione>"),
    "Originale già registrato nel Database.": (
        "This original is already registered in the database.", "Original já registrado no banco de dados."),
    "1. Selezionare l'originale da registrare.": ("1. Select the original to register.", "1. Selecione o original a registrar."),
    "2. Selezionare driver.": ("2. Select a driver.", "2. Selecione o driver."),
    "3. Premere Bottone Registra Originale.": ("3. Press the Register Original button.", "3. Clique no botão Registrar Original."),
    "4. Inserire una breve descrizione o modificare l'esistente.": (
        "4. Enter a short description or edit the existing one.",
        "4. Digite uma breve descrição ou altere a existente."),
    "File Originale non trovato.": ("Original file not found.", "Arquivo original não encontrado."),
    "Nessun Driver trovato.": ("No driver found.", "Nenhum driver encontrado."),
    "Per la ricerca Manuale, selezionare almeno la marca.": (
        "For a manual search, select at least the make.", "Para a busca manual, selecione pelo menos a marca."),
    "Attenzione, il driver richiesto non è presente, sarà scaricato al prossimo avvio ZKM Quorvane": (
        "Warning: the driver you need is not on the key; it will be downloaded the next time ZKM Quorvane starts",
        "Atenção: o driver necessário não está na chave; ele será baixado na próxima inicialização do ZKM Quorvane"),
    "Errore prenotazione Driver": ("Driver reservation error", "Erro ao reservar o driver"),
    "Hai raggiunto il numero massimo di driver prenotabili, potrai scaricare i driver manualmente da ZKM Quorvane": (
        "You have reached the maximum number of driver reservations; you can download the drivers manually from ZKM Quorvane",
        "Você atingiu o número máximo de drivers reservados; os drivers podem ser baixados manualmente pelo ZKM Quorvane"),
    "Errore Database durante la registrazione del file originale": (
        "Database error while registering the original file", "Erro no banco de dados ao registrar o arquivo original"),
    "File Registrato corettamente": ("File registered successfully", "Arquivo registrado com sucesso"),
    "Errore trasferimento file in chiavetta Quorvane": (
        "Error copying the file to the Quorvane key", "Erro ao transferir o arquivo para a chave Quorvane"),
    "1. Aggiungere o modificare la descrizione.": ("1. Add or edit the description.", "1. Adicione ou altere a descrição."),
    "2. Premere il tasto OK o CANCEL per annullare.": ("2. Press OK, or CANCEL to cancel.", "2. Clique em OK, ou em CANCEL para cancelar."),
    "2. Selezionare l'originale da associare.": ("2. Select the original to link it to.", "2. Selecione o original a associar."),
    "3. Premere il bottone Registra Modificato.": ("3. Press the Register Modified button.", "3. Clique no botão Registrar Modificado."),
    "Scrittura sulla chiave Quorvane non completata: non rimuovere la chiave e ripetere l'operazione.": (
        "Writing to the Quorvane key did not complete: do not remove the key, and repeat the operation.",
        "A gravação na chave Quorvane não foi concluída: não remova a chave e repita a operação."),
    "Chiave Quorvane non più collegata: ricollegarla e riprovare, oppure riavviare il programma.": (
        "The Quorvane key is no longer connected: connect it again and retry, or restart the program.",
        "A chave Quorvane não está mais conectada: conecte-a novamente e tente de novo, ou reinicie o programa."),
    "Modificato già registrato nel Database.": (
        "This modified file is already registered in the database.", "Modificado já registrado no banco de dados."),
    "Nessun file originale trovato.": ("No original file found.", "Nenhum arquivo original encontrado."),
    "ATTENZIONE!": ("WARNING!", "ATENÇÃO!"),
    "ASSOCIARE UN FILE MODIFICATO AD UN ORIGINALE NON COMPATIBILE, PUO' CAUSARE IL BLOCCO DEL SOFTWARE ZKM QUORVANE!": (
        "LINKING A MODIFIED FILE TO AN INCOMPATIBLE ORIGINAL CAN LOCK UP THE ZKM QUORVANE SOFTWARE!",
        "ASSOCIAR UM ARQUIVO MODIFICADO A UM ORIGINAL INCOMPATÍVEL PODE TRAVAR O SOFTWARE ZKM QUORVANE!"),
    "BRENNOW Srl declina ogni responsabiltà in caso di errore di associazione degli utenti.": (
        "BRENNOW Srl accepts no liability for files linked wrongly by users.",
        "A BRENNOW Srl não se responsabiliza por associações erradas feitas pelos usuários."),
    "Errore Database durante la registrazione del file modificato.": (
        "Database error while registering the modified file.", "Erro no banco de dados ao registrar o arquivo modificado."),
    "Attenzione l'Originale ha modificato associati: Rimuovere prima i modificati": (
        "Warning: this original has modified files linked to it. Remove the modified files first",
        "Atenção: o original tem arquivos modificados associados. Remova primeiro os modificados"),
    "Impossibile Trovare Informazioni sull'Originale Selezionato.": (
        "No information found for the selected original.", "Não foi possível encontrar informações sobre o original selecionado."),
    "File Rimosso correttamente.": ("File removed successfully.", "Arquivo removido com sucesso."),
    "La modifica è consentita solo a driver personali": (
        "Only your own drivers can be changed", "Somente drivers próprios podem ser alterados"),
    "1. Ricerca il driver di interesse.": ("1. Search for the driver you want.", "1. Procure o driver desejado."),
    "2. Premi Ricataloga per aggiornarlo o Elimina per cancellarlo.": (
        "2. Press Recatalogue to update it or Delete to remove it.",
        "2. Clique em Recatalogar para atualizá-lo ou em Excluir para apagá-lo."),
    "Vuoi Cancellare il Driver selezionato?": ("Delete the selected driver?", "Deseja excluir o driver selecionado?"),
    "Il Driver è associato ad un originale. Impossibile rimuoverlo.": (
        "The driver is linked to an original. It cannot be removed.",
        "O driver está associado a um original. Não é possível removê-lo."),
    "Errore Database. Impossibile eseguire l'operazione.": (
        "Database error. The operation could not be carried out.",
        "Erro no banco de dados. Não foi possível executar a operação."),
    "Eliminazione Driver completata con successo.": ("Driver deleted successfully.", "Driver excluído com sucesso."),
    "1. Seleziona la Marca.": ("1. Select the make.", "1. Selecione a marca."),
    "2. Seleziona il Modello.": ("2. Select the model.", "2. Selecione o modelo."),
    "3. Premi il tasto Aggiorna Driver.": ("3. Press Update Driver.", "3. Clique em Atualizar Driver."),
    "Driver ricatalogato con successo.": ("Driver recatalogued successfully.", "Driver recatalogado com sucesso."),
    "ZKM Quorvane in funzione. Chiudere ZKM Quorvane e rilanciare il programma.": (
        "ZKM Quorvane is running. Close ZKM Quorvane and start this program again.",
        "O ZKM Quorvane está em execução. Feche o ZKM Quorvane e abra o programa novamente."),
    "ZKM Quorvane Management Tool": ("ZKM Quorvane Management Tool", "ZKM Quorvane Management Tool"),
    "Impossibile smontare la chiave Quorvane: controllo coerenza non eseguito.": (
        "The Quorvane key could not be unmounted: the consistency check was not run.",
        "Não foi possível desmontar a chave Quorvane: a verificação de consistência não foi executada."),
    "Impossibile avviare il programma: Wine non è installato su questo computer.": (
        "The program cannot be started: Wine is not installed on this computer.",
        "Não é possível iniciar o programa: o Wine não está instalado neste computador."),
    "Backup non riuscito:": ("Backup failed:", "Falha no backup:"),
    "Ripristino non riuscito:": ("Restore failed:", "Falha na restauração:"),
    "Operazione in corso: attendere la fine prima di uscire.": (
        "An operation is in progress: wait for it to finish before leaving.",
        "Operação em andamento: aguarde o término antes de sair."),
    "Il testo contiene caratteri non ammessi dal Database.": (
        "The text contains characters the database cannot store.",
        "O texto contém caracteres que o banco de dados não aceita."),
    "Selezionare la Marca e il Modello prima di aggiornare il Driver.": (
        "Select the make and the model before updating the driver.",
        "Selecione a marca e o modelo antes de atualizar o driver."),
    "Driver rimosso dal Database, ma impossibile cancellare il file del driver:": (
        "The driver was removed from the database, but its driver file could not be deleted:",
        "O driver foi removido do banco de dados, mas não foi possível apagar o arquivo do driver:"),
    "Testo non valido: contiene caratteri che il Database non può memorizzare.": (
        "Invalid text: it contains characters the database cannot store.",
        "Texto inválido: contém caracteres que o banco de dados não consegue armazenar."),
    "L'originale scelto non è più registrato nel Database: sceglierlo di nuovo dall'elenco. Nulla è stato scritto.": (
        "The chosen original is no longer registered in the database: choose it again from the list. Nothing was written.",
        "O original escolhido não está mais registrado no banco de dados: escolha-o novamente na lista. Nada foi gravado."),
    "Il Database non ha più numeri liberi per una nuova registrazione. Nulla è stato scritto.": (
        "The database has no free number left for a new registration. Nothing was written.",
        "O banco de dados não tem mais números livres para um novo registro. Nada foi gravado."),
    "Il nome del file contiene caratteri non ammessi dal Database: rinominare il file e riprovare.": (
        "The file name contains characters the database cannot store: rename the file and try again.",
        "O nome do arquivo contém caracteres que o banco de dados não aceita: renomeie o arquivo e tente novamente."),
    "La descrizione contiene caratteri non ammessi dal Database: correggerla e riprovare.": (
        "The description contains characters the database cannot store: correct it and try again.",
        "A descrição contém caracteres que o banco de dados não aceita: corrija-a e tente novamente."),
    "Vuoi Cancellare l'Originale selezionato?": ("Delete the selected original?", "Deseja excluir o original selecionado?"),
    "Vuoi Cancellare il Modificato selezionato?": ("Delete the selected modified file?", "Deseja excluir o modificado selecionado?"),
    "File rimosso dal Database, ma impossibile cancellare il file memorizzato:": (
        "The file was removed from the database, but the stored file could not be deleted:",
        "O arquivo foi removido do banco de dados, mas não foi possível apagar o arquivo armazenado:"),
    "Esportazione non riuscita, nessun file scritto:": (
        "Export failed, no file was written:", "Falha na exportação, nenhum arquivo foi gravado:"),
    # Main window
    "Rilevamento ZKM QUORVANE": ("ZKM QUORVANE Detection", "Detecção ZKM QUORVANE"),
    "Rilevamento Automatico": ("Automatic Detection", "Detecção Automática"),
    "Rilevamento Manuale": ("Manual Detection", "Detecção Manual"),
    "Conferma": ("Confirm", "Confirmar"),
    "Esci": ("Exit", "Sair"),
    "Lancia ZKM Quorvane": ("Start ZKM Quorvane", "Iniciar ZKM Quorvane"),
    "Effettua Backup": ("Back Up", "Fazer Backup"),
    "Ripristina Backup": ("Restore Backup", "Restaurar Backup"),
    "Gestione Database": ("Database Management", "Gerenciar Banco de Dados"),
    "Esporta Database": ("Export Database", "Exportar Banco de Dados"),
    "Importa Database": ("Import Database", "Importar Banco de Dados"),
    "Controllo Coerenza": ("Consistency Check", "Verificar Consistência"),
    "Driver Utente": ("User Drivers", "Drivers do Usuário"),
    "Quorvane Service Pack": ("Quorvane Service Pack", "Quorvane Service Pack"),
    "File": ("File", "Arquivo"),
    "Lingue": ("Languages", "Idiomas"),
    # Database window
    "Database Management": ("Database Management", "Gerenciamento do Banco de Dados"),
    "Importa Originale": ("Import Original", "Importar Original"),
    "Importa Modificato": ("Import Modified", "Importar Modificado"),
    "Gestione File": ("File Management", "Gerenciar Arquivos"),
    "Chiudi": ("Close", "Fechar"),
    "Registrazione File Originale": ("Original File Registration", "Registro de Arquivo Original"),
    "Apri ORI": ("Open ORI", "Abrir ORI"),
    "Marca:": ("Make:", "Marca:"),
    "Modello:": ("Model:", "Modelo:"),
    "Marca :": ("Make :", "Marca :"),
    "Modello :": ("Model :", "Modelo :"),
    "Marca": ("Make", "Marca"),
    "Modello": ("Model", "Modelo"),
    "Ricerca Manuale": ("Manual Search", "Busca Manual"),
    "Cerca Driver": ("Find Driver", "Buscar Driver"),
    "Interrompi ": ("Stop ", "Interromper "),
    "Interrompi": ("Stop", "Interromper"),
    "Nome": ("Name", "Nome"),
    "Descrizione": ("Description", "Descrição"),
    "Centralina": ("ECU", "Centralina"),
    "Registra Originale": ("Register Original", "Registrar Original"),
    "Annulla": ("Cancel", "Cancelar"),
    " Ricerca Database in corso...": (" Searching the database...", " Pesquisando no banco de dados..."),
    "Ricerca Database in corso ...": ("Searching the database ...", "Pesquisando no banco de dados ..."),
    "Ricerca Database in Corso... ": ("Searching the database... ", "Pesquisando no banco de dados... "),
    "Driver: ": ("Driver: ", "Driver: "),
    "Driver:": ("Driver:", "Driver:"),
    "Driver": ("Driver", "Driver"),
    "Registrazione Originale in corso...": ("Registering the original...", "Registrando o original..."),
    "Registrazione File Modificato": ("Modified File Registration", "Registro de Arquivo Modificado"),
    "Apri Mod": ("Open Mod", "Abrir Mod"),
    "Cerca Originale": ("Find Original", "Buscar Original"),
    "Originale": ("Original", "Original"),
    "Ultima Modifica": ("Last Change", "Última Alteração"),
    "Ultima Modifica:": ("Last Change:", "Última Alteração:"),
    "Registra Modificato": ("Register Modified", "Registrar Modificado"),
    "Modificato:": ("Modified:", "Modificado:"),
    "Originale:": ("Original:", "Original:"),
    "Modificato": ("Modified", "Modificado"),
    "Registrazione Database in Corso ...": ("Saving to the database ...", "Gravando no banco de dados ..."),
    "Gestione Database Originali": ("Originals Database Management", "Gerenciamento de Originais"),
    "Gestione Database Modificati": ("Modified Files Database Management", "Gerenciamento de Modificados"),
    "Cerca": ("Search", "Buscar"),
    "Elimina": ("Delete", "Excluir"),
    "Esporta": ("Export", "Exportar"),
    "Visualizza Modificati": ("Show Modified", "Ver Modificados"),
    # Driver window
    "Driver Management": ("Driver Management", "Gerenciamento de Drivers"),
    "Ricataloga Driver Utente": ("Recatalogue User Driver", "Recatalogar Driver do Usuário"),
    "Ricataloga": ("Recatalogue", "Recatalogar"),
    "Nome Driver:": ("Driver Name:", "Nome do Driver:"),
    "Descrizione Driver:": ("Driver Description:", "Descrição do Driver:"),
    "Aggiorna Driver": ("Update Driver", "Atualizar Driver"),
    "Elimina Driver": ("Delete Driver", "Excluir Driver"),
    "Operazione in Corso... Attendere Prego ": ("Operation in progress... Please wait ", "Operação em andamento... Aguarde "),
    # Shared
    "OK": ("OK", "OK"),
    "Cancel": ("Cancel", "Cancelar"),
    "EPROM": ("EPROM", "EPROM"),
    "CKS": ("CKS", "CKS"),
    "ID": ("ID", "ID"),
    # The database's state as the user meets it (locks, failures)
    "Database in uso da un altro programma: attendere...": (
        "Database in use by another program: please wait...",
        "Banco de dados em uso por outro programa: aguarde..."),
    "Il Database è in uso da un altro programma: chiudere l'altro programma e riprovare.": (
        "The database is in use by another program: close that program and try again.",
        "O banco de dados está em uso por outro programa: feche o outro programa e tente novamente."),
    "Impossibile aprire il Database: verificare che la chiave Quorvane sia collegata.": (
        "The database cannot be opened: check that the Quorvane key is plugged in.",
        "Não é possível abrir o banco de dados: verifique se a chave Quorvane está conectada."),
    "Errore di lettura o scrittura del Database: la chiave Quorvane è ancora collegata?": (
        "The database could not be read or written: is the Quorvane key still plugged in?",
        "Erro de leitura ou gravação do banco de dados: a chave Quorvane ainda está conectada?"),
    "La chiave Quorvane è piena: liberare spazio e riprovare.": (
        "The Quorvane key is full: free some space and try again.",
        "A chave Quorvane está cheia: libere espaço e tente novamente."),
    "Il Database è di sola lettura: verificare che la chiave Quorvane non sia protetta da scrittura.": (
        "The database is read-only: check that the Quorvane key is not write-protected.",
        "O banco de dados é somente leitura: verifique se a chave Quorvane não está protegida contra gravação."),
    "Il Database è danneggiato o non è un Database Quorvane: ripristinarlo da un backup.": (
        "The database is damaged or is not a Quorvane database: restore it from a backup.",
        "O banco de dados está danificado ou não é um banco de dados Quorvane: restaure-o a partir de um backup."),
}


def fill(path, column):
    tree = ET.parse(path)
    missing = []
    for message in tree.getroot().iter("message"):
        source = message.find("source").text or ""
        translation = message.find("translation")
        if source in T:
            translation.text = T[source][column]
            translation.attrib.pop("type", None)
        elif translation.attrib.get("type") == "unfinished" or not translation.text:
            missing.append(source)
    tree.write(path, encoding="utf-8", xml_declaration=True)
    return missing


if __name__ == "__main__":
    for path in sys.argv[1:]:
        column = 0 if "en_US" in path else 1
        for source in fill(path, column):
            print(f"{path}: no translation for {source!r}")
