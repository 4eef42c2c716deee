// A million small objects kept alive, for the collector's pause.
class Item {
    public var id:Int;
    public var next:Item;
    public function new(id:Int, next:Item) {
        this.id = id;
        this.next = next;
    }
}

class LiveObjects {
    // Filled by run, which Flash calls before the class's static values are set.
    public static var kept:Array<Item>;

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
        var list:Array<Item> = [];
        var previous:Item = null;
        for (i in 0...1000000) {
            previous = new Item(i, previous);
            list.push(previous);
        }
        kept = list;
        Out.line(kept.length);
    }
}
