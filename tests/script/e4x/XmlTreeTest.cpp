// E4X trees changed and read: children and attributes, copies and comparison,
// normalize, the selections by name, namespaces, and how the collector keeps a tree.
#include "script/e4x/XmlTree.h"

#include "XmlTestSupport.h"
#include "script/e4x/XmlNamespaces.h"
#include "script/e4x/XmlQuery.h"

#include <QtTest>

using namespace script;
using namespace script::e4x;
using namespace e4xtest;

namespace {

// The local names (or values, for other kinds) of `nodes`, comma separated.
QString names(const std::vector<XmlNode*>& nodes)
{
    QStringList out;
    for (const XmlNode* node : nodes)
        out << q(node->isElement() || node->isAttribute() ? node->name().localName : node->value());
    return out.join(u',');
}

XmlNameTest test(const char16_t* local, std::optional<std::u16string> uri = std::nullopt)
{
    return XmlNameTest{std::move(uri), local};
}

QString prefixes(const std::vector<XmlNamespace>& list)
{
    QStringList out;
    for (const XmlNamespace& ns : list)
        out << (ns.prefix ? q(*ns.prefix) : QStringLiteral("?")) + u'=' + q(ns.uri);
    return out.join(u',');
}

class Wrapper final : public Cell {};

// A chain of `depth` elements, each the only child of the one before.
XmlNode* chain(Heap& heap, std::size_t depth)
{
    XmlNode* root = XmlNode::makeElement(heap, XmlName{u"", u"n", u""});
    XmlNode* at = root;
    for (std::size_t i = 1; i < depth; ++i) {
        XmlNode* next = XmlNode::makeElement(heap, XmlName{u"", u"n", u""});
        (void)at->appendChild(next);
        at = next;
    }
    (void)at->appendChild(XmlNode::makeText(heap, u"leaf"));
    return root;
}

} // namespace

class XmlTreeTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void insertAndRemove();
    void moves();
    void refusals();
    void attributes();
    void copyAndEquality();
    void normalizeMerges();
    void selections();
    void contentTests();
    void inScope();
    void addAndRemoveNamespaces();
    void renames();
    void deepTrees();
    void collector();
};

void XmlTreeTest::insertAndRemove()
{
    Heap heap;
    XmlNode* root = parse(heap, QStringLiteral("<r><a/><b/></r>"));
    XmlNode* c = XmlNode::makeElement(heap, XmlName{u"", u"c", u""});
    QVERIFY(root->insertChild(1, c));
    QCOMPARE(names(root->children()), QStringLiteral("a,c,b"));
    QCOMPARE(c->parent(), root);
    QCOMPARE(c->childIndex(), 1);
    QVERIFY(root->insertChild(99, XmlNode::makeText(heap, u"t")));
    QCOMPARE(names(root->children()), QStringLiteral("a,c,b,t"));

    XmlNode* d = XmlNode::makeElement(heap, XmlName{u"", u"d", u""});
    XmlNode* a = root->children()[0];
    QVERIFY(root->replaceChild(0, d));
    QCOMPARE(names(root->children()), QStringLiteral("d,c,b,t"));
    QCOMPARE(a->parent(), nullptr);
    QCOMPARE(a->childIndex(), -1);
    QVERIFY(root->replaceChild(10, a));
    QCOMPARE(names(root->children()), QStringLiteral("d,c,b,t,a"));

    QCOMPARE(root->removeChildAt(1), c);
    QCOMPARE(c->parent(), nullptr);
    QCOMPARE(root->removeChildAt(10), nullptr);
    root->removeChild(a);
    QCOMPARE(names(root->children()), QStringLiteral("d,b,t"));
    root->clearChildren();
    QVERIFY(root->children().empty());
    QCOMPARE(d->parent(), nullptr);
}

void XmlTreeTest::moves()
{
    Heap heap;
    XmlNode* one = parse(heap, QStringLiteral("<one><a/><b/><c/></one>"));
    XmlNode* two = parse(heap, QStringLiteral("<two/>"));
    XmlNode* b = one->children()[1];
    // A node lives in one list: a new parent takes it from the old.
    QVERIFY(two->appendChild(b));
    QCOMPARE(names(one->children()), QStringLiteral("a,c"));
    QCOMPARE(b->parent(), two);
    // Inside one list the index counts the list as it will be without the node.
    XmlNode* a = one->children()[0];
    QVERIFY(one->insertChild(2, a));
    QCOMPARE(names(one->children()), QStringLiteral("c,a"));
    QVERIFY(one->appendChild(one->children()[0]));
    QCOMPARE(names(one->children()), QStringLiteral("a,c"));
    // Replacing with a sibling moves the sibling into the slot.
    XmlNode* three = parse(heap, QStringLiteral("<r><x/><y/><z/></r>"));
    QVERIFY(three->replaceChild(2, three->children()[0]));
    QCOMPARE(names(three->children()), QStringLiteral("y,x"));
    QVERIFY(three->replaceChild(0, three->children()[0]));
    QCOMPARE(names(three->children()), QStringLiteral("y,x"));
}

void XmlTreeTest::refusals()
{
    Heap heap;
    XmlNode* root = parse(heap, QStringLiteral("<r a='1'><b><c/></b>text</r>"));
    XmlNode* b = root->children()[0];
    XmlNode* c = b->children()[0];
    auto self = root->appendChild(root);
    QVERIFY(!self);
    QCOMPARE(self.error().id, XmlErrorId::IllegalCyclicalLoop);
    auto ancestor = c->appendChild(root);
    QVERIFY(!ancestor);
    QCOMPARE(ancestor.error().id, XmlErrorId::IllegalCyclicalLoop);
    QVERIFY(!c->replaceChild(0, b));
    QCOMPARE(names(root->children()), QStringLiteral("b,text"));
    QVERIFY(!root->appendChild(root->attributes()[0]));
    // Text has no children: inserting into it changes nothing.
    XmlNode* text = root->children()[1];
    QVERIFY(text->appendChild(XmlNode::makeText(heap, u"x")));
    QVERIFY(text->children().empty());
}

void XmlTreeTest::attributes()
{
    Heap heap;
    XmlNode* e = parse(heap, QStringLiteral("<e xmlns:p='urn:p' a='1' p:a='2'/>"));
    QCOMPARE(q(e->attribute(XmlName{u"", u"a", {}})->value()), QStringLiteral("1"));
    QCOMPARE(q(e->attribute(XmlName{u"urn:p", u"a", {}})->value()), QStringLiteral("2"));
    QVERIFY(e->setAttribute(heap, XmlName{u"", u"a", {}}, u"3"));
    QVERIFY(e->setAttribute(heap, XmlName{u"", u"b", {}}, u"4"));
    QCOMPARE(e->attributes().size(), std::size_t(3));
    QCOMPARE(e->attributes()[2]->parent(), e);
    XmlNode* first = e->attributes()[0];
    QVERIFY(e->removeAttribute(first));
    QVERIFY(!e->removeAttribute(first));
    QCOMPARE(first->parent(), nullptr);
    XmlSettings flat;
    flat.prettyPrinting = false;
    QCOMPARE(print(e, flat), QStringLiteral("<e xmlns:p=\"urn:p\" p:a=\"2\" b=\"4\"/>"));
    // A repeated attribute keeps the first value.
    XmlNode* repeated = parse(heap, QStringLiteral("<e a='1' a='2'/>"));
    QCOMPARE(repeated->attributes().size(), std::size_t(1));
    QCOMPARE(q(repeated->attributes()[0]->value()), QStringLiteral("1"));
}

void XmlTreeTest::copyAndEquality()
{
    Heap heap;
    XmlSettings keep;
    keep.ignoreComments = false;
    const QString source =
        QStringLiteral("<p:r xmlns:p='urn:p' x='1' y='2'><p:a>t</p:a><!--c--><b/></p:r>");
    XmlNode* original = parse(heap, source, keep);
    XmlNode* child = original->children()[0];
    XmlNode* copy = deepCopy(heap, *child);
    QCOMPARE(copy->parent(), nullptr);
    QVERIFY(deepEquals(*copy, *child));
    QCOMPARE(print(copy), QStringLiteral("<p:a xmlns:p=\"urn:p\">t</p:a>"));

    XmlNode* whole = deepCopy(heap, *original);
    QCOMPARE(whole->namespaces().size(), std::size_t(1));
    QVERIFY(deepEquals(*whole, *original));
    QCOMPARE(print(whole, keep), print(original, keep));
    whole->children()[0]->children()[0]->setValue(u"changed");
    QVERIFY(!deepEquals(*whole, *original));
    QCOMPARE(q(original->children()[0]->children()[0]->value()), QStringLiteral("t"));

    // Attribute order, prefixes and declarations do not count; names and values do.
    XmlNode* reordered = parse(
        heap, QStringLiteral("<q:r xmlns:q='urn:p' y='2' x='1'><q:a>t</q:a><!--c--><b/></q:r>"),
        keep);
    QVERIFY(deepEquals(*reordered, *original));
    XmlNode* otherValue = parse(
        heap, QStringLiteral("<p:r xmlns:p='urn:p' x='1' y='3'><p:a>t</p:a><!--c--><b/></p:r>"),
        keep);
    QVERIFY(!deepEquals(*otherValue, *original));
    XmlNode* otherUri = parse(
        heap, QStringLiteral("<p:r xmlns:p='urn:o' x='1' y='2'><p:a>t</p:a><!--c--><b/></p:r>"),
        keep);
    QVERIFY(!deepEquals(*otherUri, *original));
    QVERIFY(!deepEquals(*original, *parse(heap, source)));
    QVERIFY(!deepEquals(*XmlNode::makeText(heap, u"a"), *XmlNode::make(heap, XmlKind::Comment)));
}

void XmlTreeTest::normalizeMerges()
{
    Heap heap;
    XmlNode* root = parse(heap, QStringLiteral("<r><a>1</a><b/></r>"));
    XmlNode* a = root->children()[0];
    (void)a->appendChild(XmlNode::makeText(heap, u"2"));
    (void)a->appendChild(XmlNode::makeText(heap, u""));
    (void)a->appendChild(XmlNode::makeText(heap, u"3"));
    (void)root->insertChild(0, XmlNode::makeText(heap, u""));
    (void)root->appendChild(XmlNode::makeText(heap, u"x"));
    (void)root->appendChild(XmlNode::makeText(heap, u"y"));
    (void)root->children()[2]->appendChild(XmlNode::makeText(heap, u""));
    normalize(*root);
    QCOMPARE(names(root->children()), QStringLiteral("a,b,xy"));
    QCOMPARE(names(a->children()), QStringLiteral("123"));
    QVERIFY(root->children()[1]->children().empty());
}

void XmlTreeTest::selections()
{
    Heap heap;
    XmlSettings keep;
    keep.ignoreComments = false;
    keep.ignoreProcessingInstructions = false;
    XmlNode* root = parse(heap,
                          QStringLiteral("<r xmlns:n='urn:n' id='r'><a id='1'>t1<b id='2'/></a>"
                                         "<!--c--><n:a n:id='3'><a id='4'/></n:a><?p x?><?q?>"
                                         "t2</r>"),
                          keep);
    QCOMPARE(names(childrenNamed(*root, test(u"a"))), QStringLiteral("a,a"));
    QCOMPARE(names(childrenNamed(*root, test(u"a", u"urn:n"))), QStringLiteral("a"));
    QCOMPARE(childrenNamed(*root, test(u"a", u"urn:n"))[0], root->children()[2]);
    QCOMPARE(names(childrenNamed(*root, test(u"a", u""))), QStringLiteral("a"));
    // `*` takes every kind of child; with a namespace it takes elements only.
    QCOMPARE(names(childrenNamed(*root, XmlNameTest::any())), QStringLiteral("a,c,a,x,,t2"));
    QCOMPARE(names(childrenNamed(*root, test(u"*", u"urn:n"))), QStringLiteral("a"));
    QCOMPARE(names(elementsNamed(*root, XmlNameTest::any())), QStringLiteral("a,a"));
    QCOMPARE(names(textChildren(*root)), QStringLiteral("t2"));
    QCOMPARE(names(commentChildren(*root)), QStringLiteral("c"));
    QCOMPARE(names(processingInstructionChildren(*root, XmlNameTest::any())), QStringLiteral("x,"));
    QCOMPARE(names(processingInstructionChildren(*root, test(u"q"))), QStringLiteral(""));
    QCOMPARE(processingInstructionChildren(*root, test(u"q")).size(), std::size_t(1));

    QCOMPARE(names(descendantsNamed(*root, test(u"a"), false)), QStringLiteral("a,a,a"));
    QCOMPARE(descendantsNamed(*root, test(u"a", u""), false).size(), std::size_t(2));
    QCOMPARE(names(descendantsNamed(*root, XmlNameTest::any(), false)),
             QStringLiteral("a,t1,b,c,a,a,x,,t2"));
    auto ids = descendantsNamed(*root, test(u"id"), true);
    QStringList values;
    for (const XmlNode* id : ids)
        values << q(id->value());
    // The node's own attributes first, then each descendant's in document order.
    QCOMPARE(values.join(u','), QStringLiteral("r,1,2,3,4"));
    QCOMPARE(descendantsNamed(*root, test(u"id", u""), true).size(), std::size_t(4));
    QCOMPARE(attributesNamed(*root->children()[2], XmlNameTest::any()).size(), std::size_t(1));
    QCOMPARE(attributesNamed(*root->children()[2], test(u"id", u"")).size(), std::size_t(0));
}

void XmlTreeTest::contentTests()
{
    Heap heap;
    XmlSettings keep;
    keep.ignoreComments = false;
    XmlNode* root = parse(heap, QStringLiteral("<r a='1'><s>t<!--c--></s><e/></r>"), keep);
    XmlNode* s = root->children()[0];
    QVERIFY(hasComplexContent(*root) && !hasSimpleContent(*root));
    QVERIFY(hasSimpleContent(*s) && !hasComplexContent(*s));
    QVERIFY(hasSimpleContent(*root->children()[1]));
    QVERIFY(hasSimpleContent(*root->attributes()[0]));
    QVERIFY(!hasSimpleContent(*s->children()[1]) && !hasComplexContent(*s->children()[1]));
    QVERIFY(hasSimpleContent(*s->children()[0]));
    QCOMPARE(root->attributes()[0]->childIndex(), -1);
    QCOMPARE(root->childIndex(), -1);
    QCOMPARE(root->children()[1]->childIndex(), 1);
    std::vector<XmlNode*> one{root};
    QVERIFY(hasComplexContent(one));
    std::vector<XmlNode*> two{s->children()[0], s->children()[1]};
    QVERIFY(hasSimpleContent(two) && !hasComplexContent(two));
    QCOMPARE(q(std::u16string(nodeKindName(XmlKind::ProcessingInstruction))),
             QStringLiteral("processing-instruction"));
    QCOMPARE(q(std::u16string(nodeKindName(root->kind()))), QStringLiteral("element"));
}

void XmlTreeTest::inScope()
{
    Heap heap;
    XmlNode* root = parse(heap, QStringLiteral("<r xmlns:a='urn:a' xmlns:b='urn:b'>"
                                               "<c xmlns:a='urn:a2' xmlns:b='urn:b'><d x='1'/></c>"
                                               "</r>"));
    XmlNode* c = root->children()[0];
    XmlNode* d = c->children()[0];
    QCOMPARE(prefixes(inScopeNamespaces(*d)), QStringLiteral("a=urn:a2,b=urn:b"));
    QCOMPARE(prefixes(inScopeNamespaces(*d->attributes()[0])), QStringLiteral("a=urn:a2,b=urn:b"));
    QCOMPARE(prefixes(namespaceDeclarations(*c)), QStringLiteral("a=urn:a2"));
    QCOMPARE(prefixes(namespaceDeclarations(*root)), QStringLiteral("a=urn:a,b=urn:b"));
    QVERIFY(namespaceDeclarations(*d).empty());
    QCOMPARE(q(namespaceForPrefix(*d, u"b")->uri), QStringLiteral("urn:b"));
    QVERIFY(!namespaceForPrefix(*d, u"z"));
    XmlNode* prefixed = parse(heap, QStringLiteral("<x:e xmlns:x='urn:x' xmlns:y='urn:x'/>"));
    QCOMPARE(q(*namespaceOf(*prefixed).prefix), QStringLiteral("x"));
    prefixed->name().prefix.reset();
    QCOMPARE(q(*namespaceOf(*prefixed).prefix), QStringLiteral("x"));
    XmlNode* bare = XmlNode::makeElement(heap, XmlName{u"urn:q", u"e", std::nullopt});
    QVERIFY(!namespaceOf(*bare).prefix);
    QCOMPARE(q(namespaceOf(*bare).uri), QStringLiteral("urn:q"));
}

void XmlTreeTest::addAndRemoveNamespaces()
{
    Heap heap;
    XmlNode* e = parse(heap, QStringLiteral("<p:e xmlns:p='urn:p' p:at='1'/>"));
    QVERIFY(addInScopeNamespace(*e, XmlNamespace{u"q", u"urn:q"}));
    QVERIFY(addInScopeNamespace(*e, XmlNamespace{std::nullopt, u"urn:none"}));
    QCOMPARE(prefixes(e->namespaces()), QStringLiteral("p=urn:p,q=urn:q"));
    // The same prefix again replaces, and the names it meant lose the hint.
    QVERIFY(addInScopeNamespace(*e, XmlNamespace{u"p", u"urn:other"}));
    QCOMPARE(prefixes(e->namespaces()), QStringLiteral("q=urn:q,p=urn:other"));
    QVERIFY(!e->name().prefix);
    QVERIFY(!e->attributes()[0]->name().prefix);
    XmlNode* back = parse(heap, print(e));
    QVERIFY2(back, qPrintable(print(e)));
    QCOMPARE(q(back->name().uri), QStringLiteral("urn:p"));
    QCOMPARE(q(back->attributes()[0]->name().uri), QStringLiteral("urn:p"));

    // The empty prefix is not bound on an element in no namespace.
    XmlNode* plain = parse(heap, QStringLiteral("<e/>"));
    QVERIFY(addInScopeNamespace(*plain, XmlNamespace{u"", u"urn:d"}));
    QVERIFY(plain->namespaces().empty());

    XmlNode* tree = parse(heap, QStringLiteral("<r xmlns:a='urn:a' xmlns:b='urn:b'>"
                                               "<c xmlns:a='urn:a'><d xmlns:a='urn:a'/></c>"
                                               "<a:u xmlns:a='urn:a'><k xmlns:a='urn:a'/></a:u>"
                                               "</r>"));
    removeNamespace(*tree, XmlNamespace{u"a", u"urn:a"});
    QCOMPARE(prefixes(tree->namespaces()), QStringLiteral("b=urn:b"));
    QVERIFY(tree->children()[0]->namespaces().empty());
    QVERIFY(tree->children()[0]->children()[0]->namespaces().empty());
    // An element whose name uses the namespace keeps it, and so does what is below it.
    QCOMPARE(tree->children()[1]->namespaces().size(), std::size_t(1));
    QCOMPARE(tree->children()[1]->children()[0]->namespaces().size(), std::size_t(1));
    removeNamespace(*tree, XmlNamespace{u"b", u"urn:other"});
    QCOMPARE(prefixes(tree->namespaces()), QStringLiteral("b=urn:b"));
    removeNamespace(*tree, XmlNamespace{std::nullopt, u"urn:b"});
    QVERIFY(tree->namespaces().empty());
    XmlNode* usedByAttribute = parse(heap, QStringLiteral("<r xmlns:a='urn:a' a:x='1'/>"));
    removeNamespace(*usedByAttribute, XmlNamespace{u"a", u"urn:a"});
    QCOMPARE(usedByAttribute->namespaces().size(), std::size_t(1));
}

void XmlTreeTest::renames()
{
    Heap heap;
    XmlSettings keep;
    keep.ignoreComments = false;
    keep.ignoreProcessingInstructions = false;
    XmlNode* root = parse(heap, QStringLiteral("<r a='1'>t<!--c--><?p v?></r>"), keep);
    XmlNode* attribute = root->attributes()[0];
    QVERIFY(setNamespace(*attribute, XmlNamespace{u"n", u"urn:n"}));
    QCOMPARE(q(attribute->name().uri), QStringLiteral("urn:n"));
    QCOMPARE(prefixes(root->namespaces()), QStringLiteral("n=urn:n"));
    QVERIFY(setNamespace(*root, XmlNamespace{u"m", u"urn:m"}));
    QCOMPARE(prefixes(root->namespaces()), QStringLiteral("n=urn:n,m=urn:m"));
    XmlSettings flat = keep;
    flat.prettyPrinting = false;
    QCOMPARE(print(root, flat),
             QStringLiteral(
                 "<m:r xmlns:n=\"urn:n\" xmlns:m=\"urn:m\" n:a=\"1\">t<!--c--><?p v?></m:r>"));

    XmlNode* text = root->children()[0];
    QVERIFY(setName(*text, XmlName{u"urn:z", u"z", u"z"}));
    setLocalName(*text, u"z");
    QVERIFY(text->name().localName.empty() && text->name().uri.empty());
    XmlNode* pi = root->children()[2];
    QVERIFY(setName(*pi, XmlName{u"urn:z", u"target", u"z"}));
    QCOMPARE(q(pi->name().localName), QStringLiteral("target"));
    QVERIFY(pi->name().uri.empty());
    QVERIFY(setNamespace(*pi, XmlNamespace{u"z", u"urn:z"}));
    QVERIFY(pi->name().uri.empty());

    QVERIFY(setName(*root, XmlName{u"urn:k", u"k", u"k"}));
    QCOMPARE(q(root->name().localName), QStringLiteral("k"));
    QCOMPARE(prefixes(root->namespaces()), QStringLiteral("n=urn:n,m=urn:m,k=urn:k"));
    // A name whose URI is already declared reuses that declaration.
    QVERIFY(setName(*attribute, XmlName{u"urn:m", u"b", std::nullopt}));
    QCOMPARE(root->namespaces().size(), std::size_t(3));
    setLocalName(*root, u"renamed");
    QCOMPARE(print(root, flat), QStringLiteral("<k:renamed xmlns:n=\"urn:n\" xmlns:m=\"urn:m\" "
                                               "xmlns:k=\"urn:k\" m:b=\"1\">t<!--c--><?target v?>"
                                               "</k:renamed>"));
    // Renamed into no namespace, an element does not print its old default.
    XmlNode* defaulted = parse(heap, QStringLiteral("<a xmlns='urn:d'><b/></a>"));
    QVERIFY(setName(*defaulted, XmlName{u"", u"a", std::nullopt}));
    QCOMPARE(defaulted->namespaces().size(), std::size_t(1));
    QCOMPARE(print(defaulted, flat), QStringLiteral("<a><b xmlns=\"urn:d\"/></a>"));
    XmlNode* loose = XmlNode::make(heap, XmlKind::Attribute);
    QVERIFY(setNamespace(*loose, XmlNamespace{u"l", u"urn:l"}));
    QCOMPARE(q(loose->name().uri), QStringLiteral("urn:l"));
}

void XmlTreeTest::deepTrees()
{
    // Deeper than any parse may build: every walk keeps its own stack.
    constexpr std::size_t kDepth = 100000;
    Heap heap;
    XmlNode* root = chain(heap, kDepth);
    XmlNode* copy = deepCopy(heap, *root);
    QVERIFY(deepEquals(*root, *copy));
    QCOMPARE(descendantsNamed(*root, test(u"n"), false).size(), kDepth - 1);
    normalize(*copy);
    XmlSettings flat;
    flat.prettyPrinting = false;
    auto printed = toXmlString(*root, flat);
    QVERIFY(printed);
    QCOMPARE(printed.value().size(), kDepth * 7 + 4);
    // Pretty printing repeats the indentation on each line: the cap stops it.
    XmlSettings wide;
    wide.prettyIndent = 10000;
    auto huge = toXmlString(*root, wide);
    QVERIFY(!huge);
    QCOMPARE(huge.error().id, XmlErrorId::TooLarge);
    XmlNode* leafParent = root;
    while (!leafParent->children().front()->isText())
        leafParent = leafParent->children().front();
    QVERIFY(!leafParent->appendChild(root));
    heap.collect();
    QCOMPARE(heap.liveCells(), std::size_t(0));
}

void XmlTreeTest::collector()
{
    Heap heap;
    XmlNode* root = parse(heap, QStringLiteral("<r a='1'><c><d/></c></r>"));
    XmlNode* d = root->children()[0]->children()[0];
    Wrapper* wrapper = heap.make<Wrapper>();
    d->setWrapper(wrapper);
    XmlNode* kept = d;
    const std::size_t roots = heap.addRoots([&](Tracer& tracer) { tracer.mark(kept); });
    (void)parse(heap, QStringLiteral("<garbage><x/></garbage>"));
    heap.collect();
    // The held node keeps its ancestors, their attributes and its wrapper.
    QCOMPARE(heap.liveCells(), std::size_t(5));
    QCOMPARE(d->parent()->parent(), root);
    QCOMPARE(q(root->attributes()[0]->value()), QStringLiteral("1"));
    QCOMPARE(d->wrapper(), wrapper);
    // Taken out of the tree, the node alone stays.
    root->children()[0]->removeChild(d);
    heap.collect();
    QCOMPARE(heap.liveCells(), std::size_t(2));
    heap.removeRoots(roots);
    heap.collect();
    QCOMPARE(heap.liveCells(), std::size_t(0));
}

QTEST_GUILESS_MAIN(XmlTreeTest)
#include "XmlTreeTest.moc"
