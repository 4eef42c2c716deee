// Building a long string in pieces, and a JSON text written and read back.
class Strings {
    // Under Flash the program runs from the class's __init__, with its script: Haxe's
    // boot class would wait for a stage before calling main.
    static function __init__() {
        #if flash
        run();
        #end
    }

    static function main() {
        #if !flash
        run();
        #end
    }

    static function run() {
        var b = new StringBuf();
        for (i in 0...20000) {
            b.add(i);
            b.add(",");
        }
        var s = b.toString();
        Out.line(s.length);
        var data = [for (i in 0...20000) {id: i, name: "item" + i, tags: ["a", "b"]}];
        var text = haxe.Json.stringify(data);
        var back:Array<Dynamic> = haxe.Json.parse(text);
        Out.line(text.length + " " + back.length + " " + back[19999].name);
    }
}
