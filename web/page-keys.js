// The keys and their buttons, all from the one key table the bench's window
// and --help read (bench/flying/HandInput.h, through PageExports.cpp): no key
// is named here. A key for the panel holds its press while it is down, and
// the gauge's own held press repeats it, so the system's repeats are passed
// on for the program to ignore; a button for the panel holds it likewise
// while a pointer or finger is down on it. Nothing is taken from a text field.
"use strict";

const PageKeys = (function () {
    const text = (module, name, row) => module.UTF8ToString(module["_page_key_" + name](row));

    function rows(module) {
        const found = [];
        for (let row = 0; row < module._page_key_count(); ++row)
            found.push({ row: row, name: text(module, "name", row), keys: text(module, "web", row).split(" "),
                         does: text(module, "does", row), hint: text(module, "hint", row),
                         presses: module._page_key_presses(row) === 1 });
        return found;
    }

    const typing = (target) => target.isContentEditable || /^(INPUT|TEXTAREA|SELECT)$/.test(target.tagName);

    function button(module, key, ready) {
        const made = document.createElement("button");
        made.textContent = key.hint;
        made.setAttribute("aria-label", key.does);
        made.setAttribute("aria-keyshortcuts", key.keys[0]);
        const down = () => { if (ready()) module._page_key_down(key.row, 0); };
        if (!key.presses) {
            made.addEventListener("click", down);
            return made;
        }
        // Held while the pointer is down on it; a press from the keyboard
        // (Enter, Space: a click with no pointer) is one press.
        made.className = "hold";
        made.addEventListener("pointerdown", function (event) {
            if (event.button !== 0) return;
            made.setPointerCapture(event.pointerId);
            down();
        });
        for (const kind of ["pointerup", "pointercancel", "lostpointercapture"])
            made.addEventListener(kind, () => module._page_key_up(key.row));
        made.addEventListener("click", function (event) {
            if (event.detail !== 0) return;
            down();
            module._page_key_up(key.row);
        });
        made.addEventListener("contextmenu", (event) => event.preventDefault());
        return made;
    }

    // The key map, a button for every row in `panelKeys` or `airspeedKeys`,
    // and the list of keys in `list`. `ready` says whether the gauge runs.
    function listen(module, ready, panelKeys, airspeedKeys, list) {
        const table = rows(module), byKey = new Map(), held = new Map();
        for (const key of table) {
            for (const name of key.keys) byKey.set(name, key.row);
            (key.presses ? panelKeys : airspeedKeys).append(button(module, key, ready));
            const item = document.createElement("li");
            item.append(Object.assign(document.createElement("kbd"), { textContent: key.name }), ": " + key.does);
            list.append(item);
        }
        document.addEventListener("keydown", function (event) {
            const row = byKey.get(event.key);
            if (row === undefined || event.ctrlKey || event.altKey || event.metaKey || typing(event.target)) return;
            event.preventDefault();
            // Let go by the physical key: a Shift pressed meanwhile changes its name.
            held.set(event.code, row);
            if (ready()) module._page_key_down(row, event.repeat ? 1 : 0);
        });
        document.addEventListener("keyup", function (event) {
            const row = held.has(event.code) ? held.get(event.code) : byKey.get(event.key);
            held.delete(event.code);
            if (row !== undefined) module._page_key_up(row);
        });
        // A key still down when the page loses the keyboard never comes up here.
        window.addEventListener("blur", function () {
            for (const row of held.values()) module._page_key_up(row);
            held.clear();
        });
        return table;
    }

    return { listen: listen };
})();
