// The reference application's project, storage and user communication live in this folder.
