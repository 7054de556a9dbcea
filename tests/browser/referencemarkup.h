#pragma once
// Kept out of the test's source: moc does not read raw string literals holding braces.

namespace veldor::test {

// The reference: a script walking the nodes and writing the children of the document element in the dialect
// the game's markers were written for, node by node (the program lets the engine serialise and rewrites tags).
inline constexpr const char* kReference = R"JS(
function refFind(w, name) {
    for (var i = 0; i < w.frames.length; i++) {
        try {
            var f = w.frames[i];
            if (f.name === name) return f;
            var inner = refFind(f, name);
            if (inner) return inner;
        } catch (e) {}
    }
    return null;
}
function veldorSerialize(root, limit) {
    var block = {ADDRESS:1, ARTICLE:1, ASIDE:1, BLOCKQUOTE:1, BODY:1, CENTER:1, DD:1, DIR:1, DIV:1, DL:1, DT:1,
        FIELDSET:1, FIGURE:1, FOOTER:1, FORM:1, FRAMESET:1, H1:1, H2:1, H3:1, H4:1, H5:1, H6:1, HEADER:1, HR:1,
        LI:1, MAIN:1, MENU:1, NAV:1, NOSCRIPT:1, OL:1, P:1, PRE:1, SECTION:1, TABLE:1, TBODY:1, TD:1, TFOOT:1,
        TH:1, THEAD:1, TR:1, UL:1, CAPTION:1};
    var empty = {AREA:1, BASE:1, BR:1, COL:1, EMBED:1, HR:1, IMG:1, INPUT:1, LINK:1, META:1, PARAM:1,
        SOURCE:1, TRACK:1, WBR:1, FRAME:1};
    var raw = {SCRIPT:1, STYLE:1, XMP:1, NOEMBED:1, NOFRAMES:1, PLAINTEXT:1, NOSCRIPT:1};
    var out = [];
    var size = 0;
    function put(s) {
        size += s.length;
        if (size > limit) throw 'veldor-too-large';
        out.push(s);
    }
    function text(s) {
        return s.replace(/&/g, '&amp;').replace(/</g, '&lt;').replace(/>/g, '&gt;').replace(/\u00a0/g, '&nbsp;');
    }
    function attr(s) {
        return s.replace(/&/g, '&amp;').replace(/"/g, '&quot;').replace(/\u00a0/g, '&nbsp;');
    }
    function node(n, inRaw) {
        if (n.nodeType === 3) {
            if (size + n.data.length > limit) throw 'veldor-too-large';
            put(inRaw ? n.data : text(n.data));
            return;
        }
        if (n.nodeType === 8) { put('<!--' + n.data + '-->'); return; }
        if (n.nodeType !== 1) return;
        var tag = n.tagName.toUpperCase();
        if (block[tag]) put('\r\n');
        put('<' + tag);
        for (var i = 0; i < n.attributes.length; i++) {
            var a = n.attributes[i];
            if (a.name === 'id' && /^[A-Za-z0-9_]+$/.test(a.value)) put(' id=' + a.value);
            else put(' ' + a.name + '="' + attr(a.value) + '"');
        }
        put('>');
        if (empty[tag]) return;
        var kids = (tag === 'TEMPLATE' && n.content) ? n.content.childNodes : n.childNodes;
        for (var k = 0; k < kids.length; k++) node(kids[k], raw[tag] === 1);
        put('</' + tag + '>');
    }
    for (var c = 0; c < root.childNodes.length; c++) node(root.childNodes[c], false);
    return out.join('');
}
)JS";

} // namespace veldor::test
