// The speeds kept in this browser: the gauge's settings folder lives in
// IndexedDB, read back before the gauge is installed, so that it finds the
// speeds a pilot set last time, and written back after every handler that
// may have changed it, one save at a time and one more if asked meanwhile.
"use strict";

const PageStore = (function () {
    const folder = "/settings";
    let saving = false, saveAgain = false;

    // Mounts the folder and reads it back before the program runs.
    function mount(module) {
        module.FS.mkdir(folder);
        module.FS.mount(module.FS.filesystems.IDBFS, {}, folder);
        module.addRunDependency("settings");
        module.FS.syncfs(true, function (error) {
            if (error) console.warn("the kept speeds could not be read: " + error);
            module.removeRunDependency("settings");
        });
    }

    function save(fs) {
        if (saving) { saveAgain = true; return; }
        saving = true;
        fs.syncfs(false, function (error) {
            saving = false;
            if (error) console.warn("the speeds could not be kept: " + error);
            if (saveAgain) { saveAgain = false; save(fs); }
        });
    }

    // The page loaded afresh once the folder is written: the module keeps
    // the speeds it read until it is loaded again.
    function reload(fs) {
        fs.syncfs(false, () => location.reload());
    }

    return { folder: folder, mount: mount, save: save, reload: reload, saving: () => saving || saveAgain };
})();
