#pragma once
// Every text the program shows to its user, in one place.

namespace texts {

inline constexpr wchar_t AppTitle[] = L"Backup Tarnwick";

// Main menu
inline constexpr wchar_t MainWelcome[] = L"Welcome to Backup Tarnwick";
inline constexpr wchar_t MainOptBackup[] = L"Backup Tarnwick maps and saved games";
inline constexpr wchar_t MainOptRestore[] = L"Restore Tarnwick maps and saved games";
inline constexpr wchar_t MainStart[] = L"Start";
inline constexpr wchar_t MainCancel[] = L"Cancel";
// The link shows the program's own page; the browser is sent to the game's page.
inline constexpr wchar_t ProgramPageUrl[] = L"https://www.glimmerfen-studios.com/backup-tarnwick/";
inline constexpr wchar_t GamePageUrl[] = L"https://www.glimmerfen-studios.com/tarnwick/";
inline constexpr wchar_t BrowserNotFound[] = L"Could not find associated Browser";
inline constexpr wchar_t BrowserNotFoundTitle[] = L"Browser Not Found";
inline constexpr wchar_t WebPageNotOpened[] = L"Web Page not Opened";
inline constexpr wchar_t WebPageNotOpenedTitle[] = L"URL Failed";
inline constexpr wchar_t TempFileNotWritten[] =
    L"The web page could not be opened: the temporary file C:\\temphtm.HTM could not be written.";

// Wizard frame
inline constexpr const wchar_t* StepLabels[6] = {L"Start", L"Step 1", L"Step 2", L"Step 3", L"Step 4", L"Finish"};
inline constexpr wchar_t ButtonCancel[] = L"Cancel";
inline constexpr wchar_t ButtonBack[] = L"< &Back";
inline constexpr wchar_t ButtonNext[] = L"&Next >";
inline constexpr wchar_t ButtonFinish[] = L"&Finish";
inline constexpr wchar_t ButtonSelect[] = L"Select";
inline constexpr wchar_t ButtonOk[] = L"OK";
inline constexpr wchar_t ButtonChooseFiles[] = L"&Choose files...";
// The restore wizard's choice of files, and the sets of other days beside the marker's.
inline constexpr wchar_t ChooseTitle[] = L"Choose what to restore";
inline constexpr wchar_t ChooseSelectAll[] = L"Select all";
inline constexpr wchar_t ChooseClearAll[] = L"Clear all";
inline constexpr wchar_t ChooseColumnName[] = L"Name";
inline constexpr wchar_t ChooseColumnChange[] = L"Change";
inline constexpr wchar_t ChooseColumnSet[] = L"In the backup";
inline constexpr wchar_t ChooseColumnGame[] = L"In the game";
// %1 the files ticked, %2 the files the restore would change.
inline constexpr wchar_t RestoreChosenCount[] = L"%1 of %2 changed files will be restored.";
inline constexpr wchar_t RestoreNothingChosen[] =
    L"Nothing is chosen to restore. Tick at least one file in \"Choose files...\", or choose the marker file again "
    L"to restore everything.";
inline constexpr wchar_t RestoreNothingToChoose[] =
    L"The game already holds the data of this backup: a restore would change nothing.";
inline constexpr wchar_t RestoreOtherDays[] = L"Other days:";
// %1: how many files, as "3 files".
inline constexpr wchar_t RestoreFilesRestored[] = L"%1 restored.";

// Backup wizard panels
inline constexpr wchar_t BackupWelcome[] = L"Welcome to Tarnwick Backup";
inline constexpr wchar_t BackupWelcomeSub[] = L"Save your Tarnwick maps and saved games";
inline constexpr wchar_t BackupWelcomeNext[] = L"Click Next to start backing up your maps and saved games.";
inline constexpr wchar_t BackupStep1Text[] = L"We will now begin backing up your Dwellkin customizations";
inline constexpr wchar_t BackupCheck1[] = L"Check1";
inline constexpr wchar_t BackupChkSGML[] = L"SGML and XML customizations";
inline constexpr wchar_t BackupContinue[] = L"Click Next to continue backing up or Cancel to quit";
inline constexpr wchar_t BackupStep2Text[] = L"Select a folder to backup the Tarnwick maps and saved games to.";
inline constexpr wchar_t BackupStep2Prompt[] = L"Please select a folder where to back up to:";
inline constexpr wchar_t BackupStep3Text[] = L"Backing up maps";
inline constexpr wchar_t BackupCancelToQuit[] = L"Click Cancel to quit";
inline constexpr wchar_t BackupStep4Text[] = L"Backing up saved games";
inline constexpr wchar_t BackupFinishHead[] = L"Tarnwick Backup";
inline constexpr wchar_t BackupCongratulations[] = L"Congratulations";
inline constexpr wchar_t BackupComplete[] = L"Backup of Tarnwicks maps and saved games is complete!";
inline constexpr wchar_t BackupRecommend[] = L"It is highly recommended to copy the folder:";
inline constexpr wchar_t BackupRemovable[] =
    L" to a CD, DVD or another type of removable device for safe storage.";
inline constexpr wchar_t BackupCopyToClipboard[] = L"Copy to Clipboard";

// Backup wizard messages
inline constexpr wchar_t EnterPath[] = L"Please enter a path into the Folder selection box";
inline constexpr wchar_t NotAValidFolder[] = L"This is not a valid folder please select another folder";
inline constexpr wchar_t PathCopied[] = L"Path has been copied to clipboard";
inline constexpr wchar_t ChooserTitle[] = L"Quillset Backup Folder";
inline constexpr wchar_t ChooserPrompt[] = L"Select or create a new folder to backup to:";
// Backup folders that step 2 refuses; the box keeps the folder for correction.
// %1: the game folder.
inline constexpr wchar_t BackupFolderInGameFolder[] =
    L"The backup cannot go into the game folder %1 or into a folder inside it. Please select a folder elsewhere.";
// %1: the longest path allowed, %2: the length of the path given.
inline constexpr wchar_t BackupFolderTooLong[] =
    L"The path of this folder is too long for the backup file to record: it may be at most %1 characters long, "
    L"this one has %2. Please select a folder with a shorter path.";

// A backup that did not complete. %1: the game folder, %2: the first file missing.
inline constexpr wchar_t BackupFolderIncomplete[] =
    L"The folder %1 could not be copied completely into the backup folder; the first file missing there is %2.";
// %1: the game folder.
inline constexpr wchar_t BackupNoGameFolder[] =
    L"The game folder %1 was not found, so there is nothing to back up. Nothing was written to the backup folder.";
// %1: the backup folder, %2: the path concerned, %3: the platform's reason.
inline constexpr wchar_t BackupSwapFailed[] =
    L"The new files could not be put in place in %1 (%2: %3). Close any program that uses that folder and try "
    L"again.";
// %1: the backup folder, %2: the path concerned, %3: the reason, %4: where the earlier set lies.
inline constexpr wchar_t BackupInterruptedNotRecovered[] =
    L"An earlier backup into %1 was interrupted, and its earlier set could not be put back in place "
    L"(%2: %3). Nothing was changed; the earlier set lies in %4.";
// %1: the path concerned, %2: the platform's reason.
inline constexpr wchar_t BackupConfigFailed[] = L"The configuration file %1 could not be copied (%2).";
// A file the game wrote while it was copied, each time it was tried. %1: its name in the data.
inline constexpr wchar_t BackupChanged[] =
    L"%1 changed while it was copied (is Tarnwick running?). Close the game and back up again. Nothing was changed.";
inline constexpr wchar_t BackupMarkerFailed[] =
    L"The marker file %1 could not be written, so the backup could not be offered for a restore (%2).";
// %1: the backup folder.
inline constexpr wchar_t BackupEarlierKept[] =
    L"The backup set that was in %1 before, and its marker file, are exactly as they were.";
inline constexpr wchar_t BackupNothingKept[] =
    L"What this backup had copied into %1 was removed again; no marker file was written.";
// %1: the path concerned, %2: the reason, %3: where the earlier data lies.
inline constexpr wchar_t BackupNotPutBack[] =
    L"The earlier state of the backup folder could not be put back (%1: %2). The earlier backup set lies in %3.";
inline constexpr wchar_t BackupNotComplete[] = L"Backup of Tarnwicks maps and saved games is NOT complete!";
// Finish panel of a backup that read Windows' per-user copy of the game folder. %1: that copy.
inline constexpr wchar_t BackupUsedPerUserCopy[] =
    L"Windows keeps newer game files for your user in %1; the game reads them first, so they were backed up "
    L"in place of the game folder's own.";
inline constexpr wchar_t ClipboardBusy[] = L"The path could not be copied: the clipboard is in use by another program.";

// Restore wizard panels
inline constexpr wchar_t RestoreWelcome[] = L"Welcome to Tarnwick Restore";
inline constexpr wchar_t RestoreWelcomeText[] = L"This wizard will restore your Tarnwick maps and saved games.";
inline constexpr wchar_t RestoreSelectPrompt[] = L"Please select Backup Tarnwik to restore:";
inline constexpr wchar_t RestoreStep2Text[] = L"Restoring customized settings...";
inline constexpr wchar_t RestoreStep3Text[] = L"Restoring saved games...";
inline constexpr wchar_t RestoreStep4Text[] = L"Restoring maps";
// What the copying steps say while they copy: saved games, maps, scores, then the
// configuration file, in the order the jobs copy them.
inline constexpr const wchar_t* BackupCopying[] = {BackupStep4Text, BackupStep3Text, L"Backing up scores",
                                                   L"Backing up customized settings"};
inline constexpr const wchar_t* RestoreCopying[] = {RestoreStep3Text, L"Restoring maps...", L"Restoring scores...",
                                                    RestoreStep2Text};
inline constexpr wchar_t RestoreCongratulations[] = L"Congratulations!";
inline constexpr wchar_t RestoreFinishHead[] = L"Tarnwick Restore";
inline constexpr wchar_t RestoreDone[] = L"Tarnwick's maps and saved games have been successfully restored.";
inline constexpr wchar_t RestoreClickFinish[] = L"Click Finish to close program";

// Restore wizard messages
inline constexpr wchar_t SelectAFile[] = L"Please select a file";
inline constexpr wchar_t FileDoesNotExist[] = L"File does not exist,Please select a file";
inline constexpr wchar_t NeedBakExtension[] = L"Please select a file that has the .BAK extension";
inline constexpr wchar_t NotATarnwickBackup[] = L"This is Not a Tarnwick backup, please select a Tarnwick backup";
// A restore that did not complete. %1: the backup folder, %2: the first file that differs.
inline constexpr wchar_t RestoreFolderIncomplete[] =
    L"The folder %1 could not be restored completely into the game folder; the first file that differs is %2.";
// %1: the game folder, %2: the platform's reason.
inline constexpr wchar_t RestoreNoGameFolder[] = L"The game folder %1 could not be created (%2). Nothing was restored.";
// %1: the game folder looked for.
inline constexpr wchar_t RestoreNoGameFolderFound[] =
    L"The game folder %1 was not found, so there is nowhere to restore into. Nothing was restored.";
// %2: the path concerned, %3: the platform's reason.
inline constexpr wchar_t RestoreSwapFailed[] =
    L"A file of the game's data could not be replaced (%2: %3). Close Tarnwick and try again.";
// %1: the backup set's folder.
inline constexpr wchar_t RestoreSetInsideGame[] =
    L"The backup set in %1 lies inside the game's own data, which a restore replaces. Move the set to another "
    L"folder and try again. Nothing was changed.";
// %1: the backup set's folder, %2: the name chosen.
inline constexpr wchar_t RestoreNotInSet[] =
    L"The backup set in %1 holds nothing named %2, so it cannot be restored alone. Nothing was changed.";
// What a restore would change, a line each: the word, the name in the game's data, then
// the set's and the game's date and size. Words a script may look for: keep them.
inline constexpr wchar_t ChangeReplace[] = L"replace";
inline constexpr wchar_t ChangeAdd[] = L"add";
inline constexpr wchar_t ChangeRemove[] = L"remove";
// %1: a date and time, a size.
inline constexpr wchar_t ChangeInSet[] = L"set %1";
inline constexpr wchar_t ChangeInGame[] = L"game %1";
// %1: a date and time, %2: a size.
inline constexpr wchar_t FileStampShown[] = L"%1, %2";
inline constexpr wchar_t ChangeFolder[] = L"folder";
// %1 the files replaced, %2 added, %3 taken away, %4 the bytes, %5 the set, %6 the game folder.
inline constexpr wchar_t PreviewCounts[] =
    L"A restore would replace %1, add %2 and take away %3 (%4 from the backup in %5 into the game folder %6). "
    L"Nothing was changed.";
// %1 the set, %2 the game folder.
inline constexpr wchar_t PreviewNothing[] =
    L"The game folder %2 already holds the data of the backup in %1: a restore would change nothing. Nothing was "
    L"changed.";
// %1: the folder this user may not write.
inline constexpr wchar_t RestoreNoRights[] =
    L"This user may not write in the folder %1, where a restore puts the game's data. Nothing was changed.";
inline constexpr wchar_t RestoreSafetyMarkerFailed[] =
    L"The marker file %1 of the safety set could not be written (%2). Nothing was changed.";
inline constexpr wchar_t RestoreConfigFailed[] = L"The configuration file %1 could not be restored (%2).";
// A file of the set that changed while it was read, each time it was tried. %1: its name.
inline constexpr wchar_t RestoreChanged[] =
    L"%1 in the backup set changed while it was read, so it was not restored: another program may be writing to "
    L"the set.";
// A set whose files are not what its manifest says. %1: the set's folder, %2: the files.
inline constexpr wchar_t RestoreDamaged[] =
    L"The backup set in %1 is damaged: these files are not what the backup wrote, or are missing:\n%2\n"
    L"Nothing of it was restored.";
// A set folder's list or link that the program will not act on (see RefusedInput). %1: the
// list, %2: its line's number, %3: the line.
inline constexpr wchar_t ListNotOurs[] = L"%1 is not a list this program wrote (line %2: %3).";
// %1: the set's folder, %2: the manifest, %3: the line's number, %4: the line.
inline constexpr wchar_t ManifestNotOurs[] =
    L"The backup set in %1 is damaged: its manifest %2 is not one this program wrote (line %3: %4).";
// %1: the link.
// %1, %2: the two entries.
inline constexpr wchar_t NamesOnlyCaseApart[] =
    L"%1 and %2 have names that differ only in case. Windows takes them for one name, so a backup set could keep "
    L"only one of them, and the program copies neither. Rename one of them and try again.";
inline constexpr wchar_t LinkInSet[] =
    L"%1 is a link (a junction or symbolic link) to another place. A backup set holds only files and folders, "
    L"and the program never follows a link in one.";
// %1: the folder.
inline constexpr wchar_t SetLeftAsItIs[] =
    L"The folder %1 was left as it is: the program does not guess what such a list or link means.";
// %1: the size of the file.
inline constexpr wchar_t ListTooLarge[] = L"%1 bytes, more than any such list holds";
// %1: the list (the manifest, a safety set's list of added files), %2: the platform's reason.
inline constexpr wchar_t SetListUnreadable[] =
    L"%1 of the backup set could not be read (%2), so the restore did not start. Nothing was changed.";
// %1: how many more.
inline constexpr wchar_t AndMoreFiles[] = L"and %1 more";
inline constexpr wchar_t RestoreRolledBack[] = L"The game's data is as it was before the restore.";
// %1: the path concerned, %2: the reason, %3: the safety set's folder.
inline constexpr wchar_t RestoreNotPutBack[] =
    L"The game's data could not all be put back (%1: %2). Your data from before the restore is kept in the "
    L"safety set %3.";
// Finish panel of a restore that kept a safety set. %1: the safety set's marker file.
inline constexpr wchar_t RestoreSafetySetKept[] =
    L"Your data from before this restore was kept as a safety set. To undo this restore, restore its marker file:\r\n%1";
inline constexpr wchar_t MarkerWithoutLocation[] =
    L"This backup file does not say where its backup set lies. Please select another Tarnwick backup.";
inline constexpr wchar_t MarkerLocationMissing[] =
    L"The backup set of this file was not found: the folder %1 does not exist (moved or deleted?). "
    L"Please select another Tarnwick backup.";
// A marker whose folder exists but holds no part of a backup set. %1: the folder.
inline constexpr wchar_t MarkerLocationHoldsNoSet[] =
    L"The folder %1 named by this backup file holds no Tarnwick backup: none of saves, maps, scores and "
    L"tarnwick.cfg is there (a drive with another letter now, or a folder used for other things?). "
    L"Please select another Tarnwick backup.";
inline constexpr wchar_t RestoreNotComplete[] =
    L"Tarnwick's maps and saved games have NOT been restored completely.";
inline constexpr wchar_t FinishedCreatingDocument[] = L"Finished creating document";
inline constexpr wchar_t FinishedTitle[] = L"Finished";
inline constexpr wchar_t OpenDialogTitle[] = L"Open";
inline constexpr wchar_t OpenDialogFilter[] = L"Backup files BAK|*.BAK";

// The game not where it installs itself. %1: that folder.
inline constexpr wchar_t GameFolderNotFound[] =
    L"Tarnwick's data was not found in %1, nor below the other Program Files folders. Is Tarnwick installed in "
    L"another folder? Click Yes to choose that folder.";
inline constexpr wchar_t GameFolderChooserTitle[] = L"Where is Tarnwick installed?";
inline constexpr wchar_t GameFolderChooserPrompt[] =
    L"Select the folder Tarnwick is installed in, the one that holds its saves, maps and scores:";
// %1: the folder chosen.
inline constexpr wchar_t GameFolderHoldsNoData[] =
    L"The folder %1 holds none of Tarnwick's saves, maps, scores or tarnwick.cfg, so there is nothing to back up "
    L"from it.";
// %1: the game folder, where it is not the usual one.
inline constexpr wchar_t BackupFromGameFolder[] = L"The game's data was taken from %1.";
inline constexpr wchar_t RestoreIntoGameFolder[] = L"The game's data was restored into %1.";

// Both jobs, refused or failed. %1: the path concerned, %2: the platform's reason.
// %1: the system's reason.
inline constexpr wchar_t JobLockFailed[] =
    L"Backup Tarnwick could not tell whether another copy of it is backing up or restoring (%1), so this job did "
    L"not start. Close every copy of Backup Tarnwick and try again. Nothing was changed.";
inline constexpr wchar_t JobBusy[] =
    L"Another Backup Tarnwick is backing up or restoring right now. Wait until it has finished, then try again. "
    L"Nothing was changed.";
inline constexpr wchar_t JobJournalFailed[] =
    L"The journal %1, which lets an interrupted backup or restore be put right, could not be written (%2).";
inline constexpr wchar_t JobFlushFailed[] = L"The copies could not be written to the disk (%1: %2).";
inline constexpr wchar_t NothingChanged[] = L"Nothing was changed.";
inline constexpr wchar_t JobLeftOver[] =
    L"What an earlier backup or restore left, %1, could not be removed (%2), so this job did not start. Close any "
    L"program that uses it and try again. Nothing was changed.";
// Not enough room. %1: what the job needs, %2: the drive, %3: what is free there.
inline constexpr wchar_t JobNoSpace[] = L"There is not enough room: the job needs %1 on %2, %3 free. Nothing was changed.";
// A restore from a set folder that an interrupted backup left. %1: the set folder, %2: the
// path concerned, %3: the reason, %4: where the earlier set lies.
inline constexpr wchar_t RestoreSetNotRecovered[] =
    L"The backup set in %1 is what an interrupted backup left, and it could not be put right (%2: %3), so it was "
    L"not restored. Nothing was changed; the earlier set lies in %4.";
// An interrupted backup in the set folder, put right before this job. %1: the set folder.
inline constexpr wchar_t SetRecovered[] =
    L"A backup into %1 had been stopped before it was complete; the backup set that was there before it was put "
    L"back in place first.";

// A job in progress, on its step panel. %1, %2: files done and in all, %3, %4: bytes.
inline constexpr wchar_t ProgressCounting[] = L"Counting the files to copy: %1 files, %2";
inline constexpr wchar_t ProgressCopying[] = L"%1 of %2 files copied, %3 of %4";
inline constexpr wchar_t ProgressFlushing[] = L"Writing the copies to the disk: %1 of %2 files";
inline constexpr wchar_t ProgressPlacing[] = L"Putting the new files in place...";
inline constexpr wchar_t BackupProgressFinishing[] = L"Removing the earlier files that the new ones replace...";
inline constexpr wchar_t RestoreProgressFinishing[] = L"Removing the oldest safety sets...";
inline constexpr wchar_t ProgressUndoing[] = L"Putting your earlier data back...";
inline constexpr wchar_t ProgressStopping[] = L"Stopping: the copy ends and your earlier data is put back...";

// What the program found of a job that was stopped before it ended (the program was
// ended, or the computer went off), and what it did. %1: the backup or set folder.
inline constexpr wchar_t RecoveredBackupUndone[] =
    L"Backup Tarnwick had been stopped in the middle of a backup into %1 (the program was ended or the computer "
    L"went off). The backup set that was there before, and its marker file, were put back exactly as they were.";
inline constexpr wchar_t RecoveredBackupRemoved[] =
    L"Backup Tarnwick had been stopped in the middle of a backup into %1 (the program was ended or the computer "
    L"went off). What that backup had copied there was removed again; no marker file was written.";
// %1: the set folder, %2: the journal set aside.
inline constexpr wchar_t RecoveryWaiting[] =
    L"A backup into %1 was stopped before it ended, and that folder is not there now (a drive taken out?). What it "
    L"left there will be put right when the folder is there again; until then other backups and restores run as "
    L"usual. If the folder is gone for good, delete %2.";
inline constexpr wchar_t RecoveredBackupFinished[] =
    L"Backup Tarnwick had been stopped at the very end of a backup into %1. The new backup set was already "
    L"complete with its marker file; the backup has now been finished.";
inline constexpr wchar_t RecoveredRestoreUndone[] =
    L"Backup Tarnwick had been stopped in the middle of a restore from %1 (the program was ended or the computer "
    L"went off). The game's data was put back exactly as it was before that restore.";
inline constexpr wchar_t RecoveredRestoreFinished[] =
    L"Backup Tarnwick had been stopped at the very end of a restore from %1. The game's data had already been "
    L"restored completely; the restore has now been finished.";
// %1: the folder, %2: the path concerned, %3: the reason, %4: where the earlier data lies.
inline constexpr wchar_t BackupRecoveryFailed[] =
    L"Backup Tarnwick had been stopped in the middle of a backup into %1, and what it left could not be put right "
    L"yet (%2: %3). The backup set that was there before lies in %4; nothing else was changed. The program tries "
    L"again when it starts next.";
inline constexpr wchar_t RestoreRecoveryFailed[] =
    L"Backup Tarnwick had been stopped in the middle of a restore from %1, and what it left could not be put right "
    L"yet (%2: %3). The game's data from before that restore lies in %4; nothing else was changed. The program "
    L"tries again when it starts next.";
// Administrator rights, asked for a restore only. %1: the folder this user may not write.
inline constexpr wchar_t RestoreRightsOffer[] =
    L"This user may not write in the folder %1, where a restore puts the game's data.\r\n\r\n"
    L"Start Backup Tarnwick again with administrator rights to restore? Windows will ask you to allow it.";
inline constexpr wchar_t RecoveryRightsOffer[] =
    L"Start Backup Tarnwick again with administrator rights to put it right now? Windows will ask you to allow it.";
inline constexpr wchar_t ElevationDeclined[] =
    L"Backup Tarnwick was not started with administrator rights. Nothing was changed.";
// %1: the platform's reason.
inline constexpr wchar_t ElevationNotStarted[] =
    L"Backup Tarnwick could not be started with administrator rights (%1). Nothing was changed.";
// %1: the set folder, %2: the folder this user may not write, %3: where the earlier data lies.
inline constexpr wchar_t RestoreRecoveryNeedsRights[] =
    L"Backup Tarnwick had been stopped in the middle of a restore from %1, and this user may not write in the "
    L"folder %2, so what it left was not put right. The game's data from before that restore lies in %3; nothing "
    L"was changed. The program puts it right when it starts with the rights to write there.";
// %1: where the record was kept.
inline constexpr wchar_t RecoveryJournalUnreadable[] =
    L"A record of an interrupted backup or restore was found but could not be read; it was kept as %1. Please "
    L"check your backup sets and the game's data.";

// %1: where the record was kept.
inline constexpr wchar_t RecoveryJournalForeign[] =
    L"A record of an interrupted backup or restore was found, but it names folders that are not this program's, "
    L"so it was not acted on; it was kept as %1. Please check your backup sets and the game's data.";
// %1: what was not acted on and why, %2: the folder left as it is.
inline constexpr wchar_t RecoveryRefused[] =
    L"Backup Tarnwick had been stopped in the middle of a backup or restore, and what it left was not put right: "
    L"%1 %2";

// Registry export and import. %1: the operation, %2: the path refused.
inline constexpr wchar_t RegistryArgumentUnquotable[] =
    L"%1: the path \"%2\" cannot be handed to the registry editor: it holds a double quote or ends in \"\\\".";

// File services
inline constexpr wchar_t ErrorCopyingFile[] = L"Error copying File";
inline constexpr wchar_t ErrorDeletingFile[] = L"Error deleting File";
inline constexpr wchar_t ErrorMovingFile[] = L"Error moving File";
inline constexpr wchar_t ErrorRemovingDirectory[] = L"Error removing Directory";
inline constexpr wchar_t OverwriteFile[] = L"Overwrite File?";
inline constexpr wchar_t ScanningFolder[] = L"Scanning Folder: ";

// The command line: its usage, what is wrong with its arguments, and the line each job
// prints and logs.
inline constexpr wchar_t CommandUsage[] =
    L"Backup Tarnwick backs up Tarnwick's saves, maps, scores and tarnwick.cfg, and restores them.\r\n"
    L"\r\n"
    L"  bkTrnwck.exe\r\n"
    L"      opens the main menu.\r\n"
    L"  bkTrnwck.exe /backup \"<folder>\"\r\n"
    L"      backs up into that existing folder, and writes the marker file Tarnwick_yyyy.mm.dd.BAK there.\r\n"
    L"  bkTrnwck.exe /backup \"<folder>\" /dated [/keep N]\r\n"
    L"      backs up into a new folder in that folder, named by the date and time (yyyy.mm.dd hh.mm.ss),\r\n"
    L"      then removes the oldest such folders until N are left (10 if /keep is not given).\r\n"
    L"  bkTrnwck.exe /restore \"<marker file>\" [/preview] [/only \"<name>\" ...]\r\n"
    L"      restores the backup that the marker file names; the game's data from before is kept as a\r\n"
    L"      safety set. A folder in place of the marker file stands for its own set, else for its\r\n"
    L"      newest dated set. /preview prints what the restore would replace, add or take away, and\r\n"
    L"      changes nothing. /only restores only that file or folder of the game's data (such as\r\n"
    L"      \"saves\\slot 2\" or tarnwick.cfg), and may be given more than once.\r\n"
    L"  bkTrnwck.exe /sets \"<folder>\"\r\n"
    L"      lists the dated backup sets in that folder, newest first: name, files, size, marker file.\r\n"
    L"  bkTrnwck.exe /verify \"<marker file>\"\r\n"
    L"      reads every file of the backup that the marker file names and checks it against the\r\n"
    L"      backup's manifest, without restoring anything: exit code 0 when it is whole, 2 when\r\n"
    L"      files are damaged or missing, 1 when there is nothing to check it against.\r\n"
    L"  bkTrnwck.exe /verify \"<folder>\"\r\n"
    L"      the same for the newest dated backup set in that folder (see /dated).\r\n"
    L"  bkTrnwck.exe /schedule \"<folder>\" /at hh:mm [/keep N]\r\n"
    L"      sets up a daily backup at that time: the task \"Backup Tarnwick\" in the Task Scheduler runs\r\n"
    L"      /backup \"<folder>\" /dated /keep N (14 if /keep is not given), replacing an earlier one.\r\n"
    L"      Under Wine, which does not run such tasks, it also prints the crontab line that does.\r\n"
    L"  bkTrnwck.exe /schedule\r\n"
    L"      shows the daily backup that is set up, or that there is none.\r\n"
    L"  bkTrnwck.exe /unschedule\r\n"
    L"      removes the daily backup's task.\r\n"
    L"  bkTrnwck.exe /play \"<game exe>\" [arguments...] /backup \"<folder>\" [/dated [/keep N]]\r\n"
    L"      starts the game with its arguments (everything before /backup) in its own folder, waits\r\n"
    L"      until it and every program it started have ended, then backs up as /backup does.\r\n"
    L"  bkTrnwck.exe /restorewizard [\"<marker file>\"]\r\n"
    L"      opens the restore wizard without the main menu, with that marker file chosen.\r\n"
    L"  bkTrnwck.exe /?\r\n"
    L"      shows this text.\r\n"
    L"\r\n"
    L"A job runs without any window and prints one line, which is also added to\r\n"
    L"%LOCALAPPDATA%\\Glimmerfen Studios\\Backup Tarnwick\\log.txt.\r\n"
    L"Exit codes: 0 the job is whole; 1 refused before anything was changed; 2 failed, and everything\r\n"
    L"it changed was put back; 3 failed, and not everything could be put back (the line says where\r\n"
    L"the data lies).\r\n"
    L"Only a restore into a game folder that this user may not write needs administrator rights.\r\n";
inline constexpr wchar_t CommandInvalid[] = L"The command line is not valid: %1 Run bkTrnwck.exe /? for its usage.";
inline constexpr wchar_t CommandUnexpected[] = L"\"%1\" is not a switch.";
inline constexpr wchar_t CommandOneJob[] = L"give one job: /backup, /restore, /verify, /schedule, /unschedule or /play.";
inline constexpr wchar_t CommandNeedsPath[] = L"%1 needs a path after it (in quotes when it holds spaces).";
// %1: the most sets /keep takes.
inline constexpr wchar_t CommandKeepNeedsCount[] = L"/keep needs the number of dated sets to keep, from 1 to %1.";
inline constexpr wchar_t CommandUnknownSwitch[] = L"%1 is not a switch of this program.";
inline constexpr wchar_t CommandRepeated[] = L"%1 is given more than once; give it once.";
// What is wrong with a folder or marker named on the command line (the line names it).
// %1: the system's reason.
inline constexpr wchar_t CommandNothingThere[] = L"nothing of that name exists (%1).";
inline constexpr wchar_t CommandNotAFolder[] = L"that is a file, not a folder.";
inline constexpr wchar_t CommandMarkerNotBak[] = L"that is not a marker file: its name does not end in .BAK.";
inline constexpr wchar_t CommandMarkerNotTarnwick[] =
    L"that is not a marker file of Backup Tarnwick: it does not say Version=Tarnwick.";
inline constexpr wchar_t CommandMarkerNoLocation[] =
    L"that marker file does not say where its backup set lies (it has no Backup_Location).";
inline constexpr wchar_t CommandDatedOnlyWithBackup[] = L"/dated goes with /backup, and /keep with /backup /dated or with /schedule.";
inline constexpr wchar_t CommandKeepOnlyWithDated[] = L"/keep goes with /dated.";
inline constexpr wchar_t CommandAtNeedsTime[] = L"/at needs the time of day as hh:mm, from 00:00 to 23:59.";
inline constexpr wchar_t CommandScheduleNeedsAt[] = L"/schedule with a folder needs /at hh:mm.";
inline constexpr wchar_t CommandAtOnlyWithSchedule[] = L"/at goes with /schedule.";
inline constexpr wchar_t CommandOnlyWithRestore[] = L"/preview and /only go with /restore.";
inline constexpr wchar_t CommandNeedsName[] =
    L"%1 needs a name in the game's data after it, such as \"saves\\slot 2\" or tarnwick.cfg.";
// %1: the text given after /only.
inline constexpr wchar_t CommandNotADataName[] =
    L"\"%1\" is not a name inside the game's data: give a file or folder in saves, maps or scores, or "
    L"tarnwick.cfg, as the backup set names it (\"saves\\slot 2\").";
inline constexpr wchar_t CommandSetsRefused[] = L"Listing the sets in %1 not started: %2";
// %1: the folder.
inline constexpr wchar_t CommandNoDatedSets[] = L"%1 holds no dated backup sets (folders named yyyy.mm.dd hh.mm.ss with their marker).";
// One dated set: %1 its name, %2 its files, %3 their size, %4 its marker.
inline constexpr wchar_t CommandSetLine[] = L"%1\t%2\t%3\t%4";
// %1 the number of sets, %2 the folder.
inline constexpr wchar_t CommandSetsCounted[] = L"%1 in %2, newest first.";
inline constexpr wchar_t OneDatedSet[] = L"dated set";
inline constexpr wchar_t ManyDatedSets[] = L"dated sets";
inline constexpr wchar_t CommandPlayNeedsBackup[] =
    L"/play needs the game's exe, then its arguments if any, then /backup \"<folder>\".";
// A set checked against its manifest. %1: the marker file, %2: why not.
inline constexpr wchar_t CommandVerifyRefused[] = L"Verify of %1 not started: %2";
inline constexpr wchar_t CommandVerifyFailed[] = L"Verify of %1 failed: %2";
// %1: the folder given.
inline constexpr wchar_t CommandNoSetInFolder[] =
    L"%1 holds no backup set: no marker file of its own, and no dated backup set (a folder named yyyy.mm.dd "
    L"hh.mm.ss) with one.";
// %1: the set's folder.
inline constexpr wchar_t CommandVerifyNoManifest[] =
    L"Nothing to check: the backup set in %1 has no manifest (Tarnwick set contents.sha256); an earlier release "
    L"made it. A backup into that folder gives it one.";
// %1: how many files, %2: the set's folder.
inline constexpr wchar_t CommandVerifyWhole[] =
    L"Verify complete: the backup set in %2 is as the backup wrote it (%1 checked).";
// %1: the set's folder, %2: how many are damaged, %3: how many are listed, %4: the files.
inline constexpr wchar_t CommandVerifyDamaged[] =
    L"Verify FAILED: the backup set in %1 is damaged. Not what the backup wrote, or missing: %2 of %3: %4";
// %1: how many, %2: the files.
inline constexpr wchar_t CommandVerifyExtra[] = L"The manifest does not list %1 of the set: %2";
// A dated set. %1: the files linked, %2: the earlier set, %3: the files copied.
inline constexpr wchar_t CommandDatedLinked[] =
    L"Unchanged, and made hard links to those of %2 that take no room: %1; copied: %3.";
// A number of files, in the command line's lines: "1 file", "7 files".
inline constexpr wchar_t OneFile[] = L"file";
inline constexpr wchar_t ManyFiles[] = L"files";
// %1: the game folder, %2: the set's folder, %3: its marker file.
inline constexpr wchar_t CommandBackupDone[] = L"Backup complete: the game's data from %1 is in %2 (marker %3).";
inline constexpr wchar_t CommandBackupNoConfig[] = L"The game folder holds no tarnwick.cfg, so the set has none.";
// %1: the dated set, %2: the platform's reason.
inline constexpr wchar_t CommandOlderSetNotRemoved[] = L"An older dated set could not be removed (%1: %2).";
// %1: the set's folder or the marker, %2: why.
inline constexpr wchar_t CommandBackupRefused[] = L"Backup into %1 not started: %2";
inline constexpr wchar_t CommandBackupFailed[] = L"Backup into %1 failed: %2";
inline constexpr wchar_t CommandRestoreRefused[] = L"Restore from %1 not started: %2";
// Windows, not elevated: where a restore lacks the rights to write. The command line
// never asks for them itself.
inline constexpr wchar_t CommandRunAsAdministrator[] =
    L"Run the command from a command prompt started as administrator.";
inline constexpr wchar_t CommandRestoreFailed[] = L"Restore from %1 failed: %2";
// %1: the set's folder, %2: the game folder.
inline constexpr wchar_t CommandRestoreDone[] = L"Restore complete: the backup in %1 is in the game folder %2.";
// %1: the safety set's marker.
inline constexpr wchar_t CommandRestoreSafetySet[] =
    L"The game's data from before is kept as a safety set; to undo this restore, restore %1.";
// %1: how many, %2: up to ten of them.
inline constexpr wchar_t RestoreLeftOut[] =
    L"Not restored, because the set's manifest does not list them (nothing vouches for them): %1: %2";
// %1: the path, %2: the reason.
inline constexpr wchar_t SafetyManifestNotWritten[] =
    L"The safety set's manifest could not be written (%1: %2); the data from before is in it all the same.";
inline constexpr wchar_t CommandRestoreNothingChanged[] = L"The game already held this data; nothing was changed.";
// %1: the dated set's folder, %2: the platform's reason.
inline constexpr wchar_t CommandDatedSetNotMade[] = L"the folder %1 could not be made (%2).";
// The daily backup. %1: the folder, %2: hh:mm, %3: the sets kept.
inline constexpr wchar_t DailyTaskDescription[] =
    L"Backup Tarnwick: a backup of Tarnwick's saves, maps, scores and tarnwick.cfg into a new dated folder in %1 every "
    L"day at %2, keeping the newest %3.";
inline constexpr wchar_t DailyScheduled[] =
    L"Every day at %2, Backup Tarnwick backs up into a new dated folder in %1 and keeps the newest %3.\r\n\r\n"
    L"The task \"Backup Tarnwick\" in the Task Scheduler runs it while you are signed in; a backup missed while "
    L"the computer was off runs as soon as it is on again.\r\n\r\n"
    L"To stop it, delete that task in the Task Scheduler, or run: bkTrnwck.exe /unschedule";
// %1: hh:mm, %2: the crontab line.
inline constexpr wchar_t DailyScheduledWine[] =
    L"This program runs under Wine, which keeps the task \"Backup Tarnwick\" but never runs it. For a backup "
    L"every day at %1, add this line to your crontab (\"crontab -e\" in a terminal). It is on the clipboard:"
    L"\r\n\r\n%2\r\n\r\n"
    L"To stop it, remove the line from your crontab again.";
inline constexpr wchar_t DailyScheduledWineNoClipboard[] =
    L"This program runs under Wine, which keeps the task \"Backup Tarnwick\" but never runs it. For a backup "
    L"every day at %1, add this line to your crontab (\"crontab -e\" in a terminal):\r\n\r\n%2\r\n\r\n"
    L"To stop it, remove the line from your crontab again.";
// %1: the system's reason.
inline constexpr wchar_t DailyScheduleFailed[] =
    L"The daily backup could not be set up (%1). The backup itself is complete.";
inline constexpr wchar_t DailyTimeInvalid[] =
    L"Please enter the time of the daily backup as hours and minutes, such as 21:00.";
inline constexpr wchar_t DailyKeepInvalid[] = L"Please enter how many daily backups to keep, from 1 to 9999.";
// The finish panel's line, around its time box and its number box.
inline constexpr wchar_t DailyCheckBox[] = L"Back up into this folder every day at";
inline constexpr wchar_t DailyKeeping[] = L", keeping the newest";
// The command line's words for it. %1: the folder, %2: hh:mm, %3: the sets kept.
inline constexpr wchar_t CommandScheduled[] =
    L"Daily backup set up: the task \"Backup Tarnwick\" backs up into a new dated folder in %1 every day at %2, "
    L"keeping the newest %3. bkTrnwck.exe /unschedule removes it.";
// %1: the crontab line.
inline constexpr wchar_t CommandScheduledWine[] =
    L"Under Wine the task is kept but never run; add the next line to your crontab (crontab -e) instead:";
// %1: the folder, %2: why.
inline constexpr wchar_t CommandScheduleRefused[] = L"Daily backup into %1 not set up: %2";
inline constexpr wchar_t CommandScheduleFailed[] = L"The daily backup's task could not be changed: %1";
inline constexpr wchar_t CommandUnscheduled[] = L"The task \"Backup Tarnwick\" was removed: no daily backup runs any more.";
// The last backup without a window. %1 its date and time, %2 its folder, %3 why it failed.
inline constexpr wchar_t MenuBackupFailed[] = L"The backup of %1 into %2 failed: %3";
inline constexpr wchar_t MenuOpenLog[] = L"Open the log";
inline constexpr wchar_t LogNotOpened[] = L"The log %1 could not be opened.";
inline constexpr wchar_t LastRunWhole[] = L"The last backup without a window, of %1 into %2, is complete.";
inline constexpr wchar_t LastRunFailed[] = L"The last backup without a window, of %1 into %2, failed: %3";
inline constexpr wchar_t LastRunNone[] = L"No backup has run without a window yet.";
// %1: the newest dated set's date.
inline constexpr wchar_t CommandVerifyStale[] = L"The newest set is from %1: the daily backup has not run since.";
inline constexpr wchar_t CommandNoTask[] = L"No daily backup is set up: there is no task \"Backup Tarnwick\".";
// %1: the program, %2: its arguments, %3: the first start.
inline constexpr wchar_t CommandTaskShown[] = L"The task \"Backup Tarnwick\" runs %1 %2 every day from %3.";
// The task as Wine keeps it: %1: its description.
inline constexpr wchar_t CommandTaskShownWine[] =
    L"The task \"Backup Tarnwick\" is registered (%1), but Wine never runs it: only a crontab line does.";
// A backup when the game has ended. %1: the game's exe, %2: why.
inline constexpr wchar_t CommandPlayRefused[] = L"The game %1 was not started: %2";
// %1: the game's exe, %2: its exit code.
inline constexpr wchar_t CommandGameEnded[] = L"The game %1 ended with exit code %2.";
inline constexpr wchar_t CommandGameNotFollowed[] =
    L"The game %1 ended with exit code %2, but the programs it started could not be followed (%3), so no "
    L"backup was started: one might still be writing the game's data.";
// %1: the platform's reason.
inline constexpr wchar_t CommandUnexpectedError[] = L"an unexpected error stopped it (%1).";

}  // namespace texts
