<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="pt_BR">
<context>
    <name>Messages</name>
    <message>
        <source>Attendere Prego ...</source>
        <translation>Aguarde, por favor ...</translation>
    </message>
    <message>
        <source>Analisi Chiave Quorvane in corso</source>
        <translation>Analisando a chave Quorvane</translation>
    </message>
    <message>
        <source>Backup in corso</source>
        <translation>Backup em andamento</translation>
    </message>
    <message>
        <source>Ripristino Backup in corso</source>
        <translation>Restaurando o backup</translation>
    </message>
    <message>
        <source>Backup Completato.</source>
        <translation>Backup concluído.</translation>
    </message>
    <message>
        <source>Restore Completato.</source>
        <translation>Restauração concluída.</translation>
    </message>
    <message>
        <source>Quorvane non rilevata: Selezionare l'unità corretta.</source>
        <translation>Chave Quorvane não encontrada: selecione a unidade correta.</translation>
    </message>
    <message>
        <source>Drive non campatibile con Chiave Quorvane.</source>
        <translation>Unidade incompatível com a chave Quorvane.</translation>
    </message>
    <message>
        <source>Database Quorvane non rilevato.</source>
        <translation>Banco de dados Quorvane não encontrado.</translation>
    </message>
    <message>
        <source>Codice Cliente non rilevato, possibile Database corrotto.</source>
        <translation>Código do cliente não encontrado, o banco de dados pode estar corrompido.</translation>
    </message>
    <message>
        <source>Errore, Software Quorvane non rilevato</source>
        <translation>Erro, software Quorvane não encontrado</translation>
    </message>
    <message>
        <source>&lt;Seleziona&gt;</source>
        <translation>&lt;Selecione&gt;</translation>
    </message>
    <message>
        <source>Originale già registrato nel Database.</source>
        <translation>Original já registrado no banco de dados.</translation>
    </message>
    <message>
        <source>1. Selezionare l'originale da registrare.</source>
        <translation>1. Selecione o original a registrar.</translation>
    </message>
    <message>
        <source>2. Selezionare driver.</source>
        <translation>2. Selecione o driver.</translation>
    </message>
    <message>
        <source>3. Premere Bottone Registra Originale.</source>
        <translation>3. Clique no botão Registrar Original.</translation>
    </message>
    <message>
        <source>4. Inserire una breve descrizione o modificare l'esistente.</source>
        <translation>4. Digite uma breve descrição ou altere a existente.</translation>
    </message>
    <message>
        <source>File Originale non trovato.</source>
        <translation>Arquivo original não encontrado.</translation>
    </message>
    <message>
        <source>Nessun Driver trovato.</source>
        <translation>Nenhum driver encontrado.</translation>
    </message>
    <message>
        <source>Per la ricerca Manuale, selezionare almeno la marca.</source>
        <translation>Para a busca manual, selecione pelo menos a marca.</translation>
    </message>
    <message>
        <source>Attenzione, il driver richiesto non è presente, sarà scaricato al prossimo avvio ZKM Quorvane</source>
        <translation>Atenção: o driver necessário não está na chave; ele será baixado na próxima inicialização do ZKM Quorvane</translation>
    </message>
    <message>
        <source>Errore prenotazione Driver</source>
        <translation>Erro ao reservar o driver</translation>
    </message>
    <message>
        <source>Hai raggiunto il numero massimo di driver prenotabili, potrai scaricare i driver manualmente da ZKM Quorvane</source>
        <translation>Você atingiu o número máximo de drivers reservados; os drivers podem ser baixados manualmente pelo ZKM Quorvane</translation>
    </message>
    <message>
        <source>Errore Database durante la registrazione del file originale</source>
        <translation>Erro no banco de dados ao registrar o arquivo original</translation>
    </message>
    <message>
        <source>File Registrato corettamente</source>
        <translation>Arquivo registrado com sucesso</translation>
    </message>
    <message>
        <source>Errore trasferimento file in chiavetta Quorvane</source>
        <translation>Erro ao transferir o arquivo para a chave Quorvane</translation>
    </message>
    <message>
        <source>1. Aggiungere o modificare la descrizione.</source>
        <translation>1. Adicione ou altere a descrição.</translation>
    </message>
    <message>
        <source>2. Premere il tasto OK o CANCEL per annullare.</source>
        <translation>2. Clique em OK, ou em CANCEL para cancelar.</translation>
    </message>
    <message>
        <source>2. Selezionare l'originale da associare.</source>
        <translation>2. Selecione o original a associar.</translation>
    </message>
    <message>
        <source>3. Premere il bottone Registra Modificato.</source>
        <translation>3. Clique no botão Registrar Modificado.</translation>
    </message>
    <message>
        <source>Modificato già registrato nel Database.</source>
        <translation>Modificado já registrado no banco de dados.</translation>
    </message>
    <message>
        <source>Nessun file originale trovato.</source>
        <translation>Nenhum arquivo original encontrado.</translation>
    </message>
    <message>
        <source>ATTENZIONE!</source>
        <translation>ATENÇÃO!</translation>
    </message>
    <message>
        <source>ASSOCIARE UN FILE MODIFICATO AD UN ORIGINALE NON COMPATIBILE, PUO' CAUSARE IL BLOCCO DEL SOFTWARE ZKM QUORVANE!</source>
        <translation>ASSOCIAR UM ARQUIVO MODIFICADO A UM ORIGINAL INCOMPATÍVEL PODE TRAVAR O SOFTWARE ZKM QUORVANE!</translation>
    </message>
    <message>
        <source>BRENNOW Srl declina ogni responsabiltà in caso di errore di associazione degli utenti.</source>
        <translation>A BRENNOW Srl não se responsabiliza por associações erradas feitas pelos usuários.</translation>
    </message>
    <message>
        <source>Errore Database durante la registrazione del file modificato.</source>
        <translation>Erro no banco de dados ao registrar o arquivo modificado.</translation>
    </message>
    <message>
        <source>Attenzione l'Originale ha modificato associati: Rimuovere prima i modificati</source>
        <translation>Atenção: o original tem arquivos modificados associados. Remova primeiro os modificados</translation>
    </message>
    <message>
        <source>Impossibile Trovare Informazioni sull'Originale Selezionato.</source>
        <translation>Não foi possível encontrar informações sobre o original selecionado.</translation>
    </message>
    <message>
        <source>File Rimosso correttamente.</source>
        <translation>Arquivo removido com sucesso.</translation>
    </message>
    <message>
        <source>La modifica è consentita solo a driver personali</source>
        <translation>Somente drivers próprios podem ser alterados</translation>
    </message>
    <message>
        <source>1. Ricerca il driver di interesse.</source>
        <translation>1. Procure o driver desejado.</translation>
    </message>
    <message>
        <source>2. Premi Ricataloga per aggiornarlo o Elimina per cancellarlo.</source>
        <translation>2. Clique em Recatalogar para atualizá-lo ou em Excluir para apagá-lo.</translation>
    </message>
    <message>
        <source>Vuoi Cancellare il Driver selezionato?</source>
        <translation>Deseja excluir o driver selecionado?</translation>
    </message>
    <message>
        <source>Il Driver è associato ad un originale. Impossibile rimuoverlo.</source>
        <translation>O driver está associado a um original. Não é possível removê-lo.</translation>
    </message>
    <message>
        <source>Errore Database. Impossibile eseguire l'operazione.</source>
        <translation>Erro no banco de dados. Não foi possível executar a operação.</translation>
    </message>
    <message>
        <source>Eliminazione Driver completata con successo.</source>
        <translation>Driver excluído com sucesso.</translation>
    </message>
    <message>
        <source>1. Seleziona la Marca.</source>
        <translation>1. Selecione a marca.</translation>
    </message>
    <message>
        <source>2. Seleziona il Modello.</source>
        <translation>2. Selecione o modelo.</translation>
    </message>
    <message>
        <source>3. Premi il tasto Aggiorna Driver.</source>
        <translation>3. Clique em Atualizar Driver.</translation>
    </message>
    <message>
        <source>Driver ricatalogato con successo.</source>
        <translation>Driver recatalogado com sucesso.</translation>
    </message>
    <message>
        <source>ZKM Quorvane in funzione. Chiudere ZKM Quorvane e rilanciare il programma.</source>
        <translation>O ZKM Quorvane está em execução. Feche o ZKM Quorvane e abra o programa novamente.</translation>
    </message>
    <message>
        <source>ZKM Quorvane Management Tool</source>
        <translation>ZKM Quorvane Management Tool</translation>
    </message>
    <message>
        <source>Impossibile smontare la chiave Quorvane: controllo coerenza non eseguito.</source>
        <translation>Não foi possível desmontar a chave Quorvane: a verificação de consistência não foi executada.</translation>
    </message>
    <message>
        <source>Impossibile avviare il programma: Wine non è installato su questo computer.</source>
        <translation>Não é possível iniciar o programa: o Wine não está instalado neste computador.</translation>
    </message>
    <message>
        <source>Backup non riuscito:</source>
        <translation>Falha no backup:</translation>
    </message>
    <message>
        <source>Ripristino non riuscito:</source>
        <translation>Falha na restauração:</translation>
    </message>
    <message>
        <source>Operazione in corso: attendere la fine prima di uscire.</source>
        <translation>Operação em andamento: aguarde o término antes de sair.</translation>
    </message>
    <message>
        <source>Il testo contiene caratteri non ammessi dal Database.</source>
        <translation>O texto contém caracteres que o banco de dados não aceita.</translation>
    </message>
    <message>
        <source>Selezionare la Marca e il Modello prima di aggiornare il Driver.</source>
        <translation>Selecione a marca e o modelo antes de atualizar o driver.</translation>
    </message>
    <message>
        <source>Driver rimosso dal Database, ma impossibile cancellare il file del driver:</source>
        <translation>O driver foi removido do banco de dados, mas não foi possível apagar o arquivo do driver:</translation>
    </message>
    <message>
        <source>Testo non valido: contiene caratteri che il Database non può memorizzare.</source>
        <translation>Texto inválido: contém caracteres que o banco de dados não consegue armazenar.</translation>
    </message>
    <message>
        <source>Il nome del file contiene caratteri non ammessi dal Database: rinominare il file e riprovare.</source>
        <translation>O nome do arquivo contém caracteres que o banco de dados não aceita: renomeie o arquivo e tente novamente.</translation>
    </message>
    <message>
        <source>La descrizione contiene caratteri non ammessi dal Database: correggerla e riprovare.</source>
        <translation>A descrição contém caracteres que o banco de dados não aceita: corrija-a e tente novamente.</translation>
    </message>
    <message>
        <source>Vuoi Cancellare l'Originale selezionato?</source>
        <translation>Deseja excluir o original selecionado?</translation>
    </message>
    <message>
        <source>Vuoi Cancellare il Modificato selezionato?</source>
        <translation>Deseja excluir o modificado selecionado?</translation>
    </message>
    <message>
        <source>File rimosso dal Database, ma impossibile cancellare il file memorizzato:</source>
        <translation>O arquivo foi removido do banco de dados, mas não foi possível apagar o arquivo armazenado:</translation>
    </message>
    <message>
        <source>Esportazione non riuscita, nessun file scritto:</source>
        <translation>Falha na exportação, nenhum arquivo foi gravado:</translation>
    </message>
    <message>
        <source>Scrittura sulla chiave Quorvane non completata: non rimuovere la chiave e ripetere l'operazione.</source>
        <translation>A gravação na chave Quorvane não foi concluída: não remova a chave e repita a operação.</translation>
    </message>
    <message>
        <source>Chiave Quorvane non più collegata: ricollegarla e riprovare, oppure riavviare il programma.</source>
        <translation>A chave Quorvane não está mais conectada: conecte-a novamente e tente de novo, ou reinicie o programa.</translation>
    </message>
    <message>
        <source>L'originale scelto non è più registrato nel Database: sceglierlo di nuovo dall'elenco. Nulla è stato scritto.</source>
        <translation>O original escolhido não está mais registrado no banco de dados: escolha-o novamente na lista. Nada foi gravado.</translation>
    </message>
    <message>
        <source>Il Database non ha più numeri liberi per una nuova registrazione. Nulla è stato scritto.</source>
        <translation>O banco de dados não tem mais números livres para um novo registro. Nada foi gravado.</translation>
    </message>
    <message>
        <source>Database in uso da un altro programma: attendere...</source>
        <translation>Banco de dados em uso por outro programa: aguarde...</translation>
    </message>
    <message>
        <source>Il Database è in uso da un altro programma: chiudere l'altro programma e riprovare.</source>
        <translation>O banco de dados está em uso por outro programa: feche o outro programa e tente novamente.</translation>
    </message>
    <message>
        <source>Impossibile aprire il Database: verificare che la chiave Quorvane sia collegata.</source>
        <translation>Não é possível abrir o banco de dados: verifique se a chave Quorvane está conectada.</translation>
    </message>
    <message>
        <source>Errore di lettura o scrittura del Database: la chiave Quorvane è ancora collegata?</source>
        <translation>Erro de leitura ou gravação do banco de dados: a chave Quorvane ainda está conectada?</translation>
    </message>
    <message>
        <source>La chiave Quorvane è piena: liberare spazio e riprovare.</source>
        <translation>A chave Quorvane está cheia: libere espaço e tente novamente.</translation>
    </message>
    <message>
        <source>Il Database è di sola lettura: verificare che la chiave Quorvane non sia protetta da scrittura.</source>
        <translation>O banco de dados é somente leitura: verifique se a chave Quorvane não está protegida contra gravação.</translation>
    </message>
    <message>
        <source>Il Database è danneggiato o non è un Database Quorvane: ripristinarlo da un backup.</source>
        <translation>O banco de dados está danificado ou não é um banco de dados Quorvane: restaure-o a partir de um backup.</translation>
    </message>
    <message>
        <source>L'archivio scelto è un'esportazione del Database, non un Backup della chiave: per ripristinarlo usare "Importa Database". Nulla è stato scritto.</source>
        <translation>O arquivo escolhido é uma exportação do banco de dados, não um backup da chave: use "Importa Database" para restaurá-lo. Nada foi gravado.</translation>
    </message>
    <message>
        <source>L'archivio scelto è un Backup completo della chiave, non un'esportazione del Database: per ripristinarlo usare "Ripristina Backup". Nulla è stato scritto.</source>
        <translation>O arquivo escolhido é um backup completo da chave, não uma exportação do banco de dados: use "Ripristina Backup" para restaurá-lo. Nada foi gravado.</translation>
    </message>
    <message>
        <source>Archivio non trovato: %1</source>
        <translation>Arquivo não encontrado: %1</translation>
    </message>
    <message>
        <source>Il file non è un archivio di Backup leggibile: %1</source>
        <translation>O arquivo não é um backup legível: %1</translation>
    </message>
    <message>
        <source>Formato dell'archivio non supportato: %1</source>
        <translation>Formato de arquivo não suportado: %1</translation>
    </message>
    <message>
        <source>Archivio danneggiato: %1</source>
        <translation>Arquivo danificado: %1</translation>
    </message>
    <message>
        <source>Dati danneggiati (errore CRC) in %1</source>
        <translation>Dados danificados (erro de CRC) em %1</translation>
    </message>
    <message>
        <source>Volume dell'archivio mancante o incompleto: %1</source>
        <translation>Um volume do arquivo está faltando ou incompleto: %1</translation>
    </message>
    <message>
        <source>Impossibile scrivere nella cartella dell'archivio (sola lettura?): %1</source>
        <translation>Não é possível gravar na pasta do arquivo (somente leitura?): %1</translation>
    </message>
    <message>
        <source>L'archivio esistente è di sola lettura e non viene sostituito: %1</source>
        <translation>O arquivo existente é somente leitura e não é substituído: %1</translation>
    </message>
    <message>
        <source>Impossibile leggere %1</source>
        <translation>Não é possível ler %1</translation>
    </message>
    <message>
        <source>Impossibile creare %1</source>
        <translation>Não é possível criar %1</translation>
    </message>
    <message>
        <source>Impossibile scrivere %1 (disco pieno?)</source>
        <translation>Não é possível gravar %1 (disco cheio?)</translation>
    </message>
    <message>
        <source>Cartella non trovata: %1</source>
        <translation>Pasta não encontrada: %1</translation>
    </message>
    <message>
        <source>File scomparso durante il Backup: %1</source>
        <translation>Um arquivo desapareceu durante o backup: %1</translation>
    </message>
    <message>
        <source>File modificato durante il Backup: %1</source>
        <translation>Um arquivo foi alterado durante o backup: %1</translation>
    </message>
    <message>
        <source>Nome non sicuro nell'archivio, rifiutato: %1</source>
        <translation>Nome inseguro no arquivo, recusado: %1</translation>
    </message>
    <message>
        <source>Un collegamento simbolico è d'intralcio: %1</source>
        <translation>Um link simbólico está no caminho: %1</translation>
    </message>
    <message>
        <source>Una cartella è d'intralcio: %1</source>
        <translation>Uma pasta está no caminho: %1</translation>
    </message>
    <message>
        <source>Un file è d'intralcio: %1</source>
        <translation>Um arquivo está no caminho: %1</translation>
    </message>
    <message>
        <source>Spazio insufficiente in %1: servono %2, liberi %3</source>
        <translation>Espaço insuficiente em %1: são necessários %2, livres %3</translation>
    </message>
    <message>
        <source>L'archivio non contiene file: %1</source>
        <translation>O arquivo não contém arquivos: %1</translation>
    </message>
    <message>
        <source>File troppo grande per un archivio (oltre 4 GiB): %1</source>
        <translation>Arquivo grande demais para um backup (mais de 4 GiB): %1</translation>
    </message>
    <message>
        <source>Troppi file per un archivio (al massimo 65535).</source>
        <translation>Arquivos demais para um backup (no máximo 65535).</translation>
    </message>
    <message>
        <source>Impossibile opening or creating an Archive </source>
        <translation>Não foi possível abrir ou criar o arquivo: </translation>
    </message>
    <message>
        <source>Unable to close current archive : </source>
        <translation>Não foi possível fechar o arquivo: </translation>
    </message>
    <message>
        <source>Error Adding File: </source>
        <translation>Erro ao adicionar arquivos: </translation>
    </message>
    <message>
        <source>Error Adding Stream: </source>
        <translation>Erro ao adicionar dados: </translation>
    </message>
    <message>
        <source>Error Extracting Files: </source>
        <translation>Erro ao extrair arquivos: </translation>
    </message>
    <message>
        <source>L'archivio è in uso da un altro programma: %1</source>
        <translation>O arquivo está em uso por outro programa: %1</translation>
    </message>
    <message>
        <source>Un file accanto all'archivio non è stato scritto da questo programma: l'archivio non viene aperto finché il file non viene rimosso: %1</source>
        <translation>Um arquivo ao lado do backup não foi gravado por este programa: o backup não é aberto até que o arquivo seja removido: %1</translation>
    </message>
    <message>
        <source>Un Backup interrotto ha lasciato l'archivio incompiuto: per ripararlo il supporto deve essere scrivibile: %1</source>
        <translation>Um backup interrompido deixou o arquivo incompleto: a mídia deve permitir gravação para repará-lo: %1</translation>
    </message>
    <message>
        <source>I nomi %1 e %2 differiscono solo per maiuscole e minuscole: l'archivio non viene riparato.</source>
        <translation>Os nomes %1 e %2 diferem apenas em maiúsculas e minúsculas: o arquivo não é reparado.</translation>
    </message>
    <message>
        <source>Il testo contiene un carattere nullo, che il Database non può memorizzare: toglierlo e riprovare. Nulla è stato scritto.</source>
        <translation>O texto contém um caractere nulo, que o banco de dados não pode armazenar: remova-o e tente novamente. Nada foi gravado.</translation>
    </message>
    <message>
        <source>La Marca o il Modello è troppo lungo (al massimo %1 caratteri): accorciarlo e riprovare. Nulla è stato scritto.</source>
        <translation>A marca ou o modelo é longo demais (no máximo %1 caracteres): encurte-o e tente novamente. Nada foi gravado.</translation>
    </message>
</context>
<context>
    <name>TForm1</name>
    <message>
        <source>Rilevamento ZKM QUORVANE</source>
        <translation>Detecção ZKM QUORVANE</translation>
    </message>
    <message>
        <source>Rilevamento Automatico</source>
        <translation>Detecção Automática</translation>
    </message>
    <message>
        <source>Rilevamento Manuale</source>
        <translation>Detecção Manual</translation>
    </message>
    <message>
        <source>Conferma</source>
        <translation>Confirmar</translation>
    </message>
    <message>
        <source>Esci</source>
        <translation>Sair</translation>
    </message>
    <message>
        <source>Lancia ZKM Quorvane</source>
        <translation>Iniciar ZKM Quorvane</translation>
    </message>
    <message>
        <source>Effettua Backup</source>
        <translation>Fazer Backup</translation>
    </message>
    <message>
        <source>Ripristina Backup</source>
        <translation>Restaurar Backup</translation>
    </message>
    <message>
        <source>Gestione Database</source>
        <translation>Gerenciar Banco de Dados</translation>
    </message>
    <message>
        <source>Esporta Database</source>
        <translation>Exportar Banco de Dados</translation>
    </message>
    <message>
        <source>Importa Database</source>
        <translation>Importar Banco de Dados</translation>
    </message>
    <message>
        <source>Controllo Coerenza</source>
        <translation>Verificar Consistência</translation>
    </message>
    <message>
        <source>Driver Utente</source>
        <translation>Drivers do Usuário</translation>
    </message>
    <message>
        <source>Quorvane Service Pack</source>
        <translation>Quorvane Service Pack</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Arquivo</translation>
    </message>
    <message>
        <source>Lingue</source>
        <translation>Idiomas</translation>
    </message>
</context>
<context>
    <name>TForm2</name>
    <message>
        <source>Database Management</source>
        <translation>Gerenciamento do Banco de Dados</translation>
    </message>
    <message>
        <source>Importa Originale</source>
        <translation>Importar Original</translation>
    </message>
    <message>
        <source>Importa Modificato</source>
        <translation>Importar Modificado</translation>
    </message>
    <message>
        <source>Gestione File</source>
        <translation>Gerenciar Arquivos</translation>
    </message>
    <message>
        <source>Chiudi</source>
        <translation>Fechar</translation>
    </message>
    <message>
        <source>Registrazione File Originale</source>
        <translation>Registro de Arquivo Original</translation>
    </message>
    <message>
        <source>Apri ORI</source>
        <translation>Abrir ORI</translation>
    </message>
    <message>
        <source>Marca:</source>
        <translation>Marca:</translation>
    </message>
    <message>
        <source>Modello:</source>
        <translation>Modelo:</translation>
    </message>
    <message>
        <source>Ricerca Manuale</source>
        <translation>Busca Manual</translation>
    </message>
    <message>
        <source>Cerca Driver</source>
        <translation>Buscar Driver</translation>
    </message>
    <message>
        <source>Interrompi </source>
        <translation>Interromper </translation>
    </message>
    <message>
        <source>Nome</source>
        <translation>Nome</translation>
    </message>
    <message>
        <source>Descrizione</source>
        <translation>Descrição</translation>
    </message>
    <message>
        <source>Centralina</source>
        <translation>Centralina</translation>
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
        <translation>Registrar Original</translation>
    </message>
    <message>
        <source>Annulla</source>
        <translation>Cancelar</translation>
    </message>
    <message>
        <source> Ricerca Database in corso...</source>
        <translation> Pesquisando no banco de dados...</translation>
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
        <translation>Cancelar</translation>
    </message>
    <message>
        <source>Registrazione Originale in corso...</source>
        <translation>Registrando o original...</translation>
    </message>
    <message>
        <source>Registrazione File Modificato</source>
        <translation>Registro de Arquivo Modificado</translation>
    </message>
    <message>
        <source>Apri Mod</source>
        <translation>Abrir Mod</translation>
    </message>
    <message>
        <source>Cerca Originale</source>
        <translation>Buscar Original</translation>
    </message>
    <message>
        <source>Interrompi</source>
        <translation>Interromper</translation>
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
        <translation>Última Alteração</translation>
    </message>
    <message>
        <source>ID</source>
        <translation>ID</translation>
    </message>
    <message>
        <source>Registra Modificato</source>
        <translation>Registrar Modificado</translation>
    </message>
    <message>
        <source>Ricerca Database in corso ...</source>
        <translation>Pesquisando no banco de dados ...</translation>
    </message>
    <message>
        <source>Modificato:</source>
        <translation>Modificado:</translation>
    </message>
    <message>
        <source>Originale:</source>
        <translation>Original:</translation>
    </message>
    <message>
        <source>Registrazione Database in Corso ...</source>
        <translation>Gravando no banco de dados ...</translation>
    </message>
    <message>
        <source>Gestione Database Originali</source>
        <translation>Gerenciamento de Originais</translation>
    </message>
    <message>
        <source>Marca :</source>
        <translation>Marca :</translation>
    </message>
    <message>
        <source>Modello :</source>
        <translation>Modelo :</translation>
    </message>
    <message>
        <source>Cerca</source>
        <translation>Buscar</translation>
    </message>
    <message>
        <source>Elimina</source>
        <translation>Excluir</translation>
    </message>
    <message>
        <source>Esporta</source>
        <translation>Exportar</translation>
    </message>
    <message>
        <source>Visualizza Modificati</source>
        <translation>Ver Modificados</translation>
    </message>
    <message>
        <source>Ricerca Database in Corso... </source>
        <translation>Pesquisando no banco de dados... </translation>
    </message>
    <message>
        <source>Gestione Database Modificati</source>
        <translation>Gerenciamento de Modificados</translation>
    </message>
    <message>
        <source>Driver:</source>
        <translation>Driver:</translation>
    </message>
    <message>
        <source>Ultima Modifica:</source>
        <translation>Última Alteração:</translation>
    </message>
    <message>
        <source>Modificato</source>
        <translation>Modificado</translation>
    </message>
</context>
<context>
    <name>TForm3</name>
    <message>
        <source>Driver Management</source>
        <translation>Gerenciamento de Drivers</translation>
    </message>
    <message>
        <source>Ricataloga Driver Utente</source>
        <translation>Recatalogar Driver do Usuário</translation>
    </message>
    <message>
        <source>Marca:</source>
        <translation>Marca:</translation>
    </message>
    <message>
        <source>Modello:</source>
        <translation>Modelo:</translation>
    </message>
    <message>
        <source>Cerca</source>
        <translation>Buscar</translation>
    </message>
    <message>
        <source>Nome</source>
        <translation>Nome</translation>
    </message>
    <message>
        <source>Descrizione</source>
        <translation>Descrição</translation>
    </message>
    <message>
        <source>Centralina</source>
        <translation>Centralina</translation>
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
        <translation>Recatalogar</translation>
    </message>
    <message>
        <source>Elimina</source>
        <translation>Excluir</translation>
    </message>
    <message>
        <source>Chiudi</source>
        <translation>Fechar</translation>
    </message>
    <message>
        <source>Nome Driver:</source>
        <translation>Nome do Driver:</translation>
    </message>
    <message>
        <source>Descrizione Driver:</source>
        <translation>Descrição do Driver:</translation>
    </message>
    <message>
        <source>Marca</source>
        <translation>Marca</translation>
    </message>
    <message>
        <source>Modello</source>
        <translation>Modelo</translation>
    </message>
    <message>
        <source>Aggiorna Driver</source>
        <translation>Atualizar Driver</translation>
    </message>
    <message>
        <source>Elimina Driver</source>
        <translation>Excluir Driver</translation>
    </message>
    <message>
        <source>Annulla</source>
        <translation>Cancelar</translation>
    </message>
    <message>
        <source>Operazione in Corso... Attendere Prego </source>
        <translation>Operação em andamento... Aguarde </translation>
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
        <translation>Cancelar</translation>
    </message>
</context>
</TS>